#pragma once

#include "vcard/VCardFields.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// The vCard 2.1 text as this program writes and reads it: bytes in, fields out; fields in,
// bytes out. No database, no user interface.
namespace vcard {

// The lines of one card, in order, without their line ends.
QStringList vcardLines(const VCardFields& fields);

// The file's bytes: every line ends in CR LF, no byte order mark. `encoding` names a
// character set ("windows-1255"); none means the system's. Nothing when a character of the
// card cannot be written in it: a card is never written with characters replaced.
std::optional<QByteArray> vcardBytes(const VCardFields& fields, const char* encoding = nullptr);

// Takes one line into `fields` when it begins with a property this program knows; false
// for every other line.
bool ParseVcardLine(const QString& line, VCardFields& fields);

// What a whole file gave: the known properties of all its lines, and whether the lines
// "BEGIN:VCARD" and "END:VCARD" were seen.
struct ReadResult {
    VCardFields fields;
    bool begin = false;
    bool end = false;
    QString error; // the device's description when reading failed; nothing is valid then
};

// Reads a file from its start, line by line: UTF-8 when all its bytes are valid UTF-8
// (a byte order mark is dropped), otherwise Windows-1255. A line ends at CR LF, LF or CR.
// The device must allow seeking back to its start; memory does not grow with its size.
ReadResult readVcard(QIODevice& device);

} // namespace vcard
