#pragma once

#include "interchange/Reason.h"

#include <QString>

#include <functional>
#include <vector>

// A card as another address book wrote it, before it is fitted to one of our lists. The
// vCard and the CSV readers both give these.
namespace interchange {

// What a number is for, as the file says; None when it does not say.
enum class PhoneKind { None, Home, Cell, Work, Fax };

struct SourcePhone {
    QString number; // as written
    PhoneKind kind = PhoneKind::None;
    bool operator==(const SourcePhone&) const = default;
};

struct SourceCard {
    int line = 0; // the file's line where the card begins (1 for the first)
    QString name; // the display name, or the one built from the name's parts
    QString organization;
    QString department;
    QString address;                 // the parts joined
    QString email;                   // the first address
    std::vector<SourcePhone> phones; // in file order
    Reason malformed;                // why the card cannot be read; empty for a sound card
    bool operator==(const SourceCard&) const = default;
};

// A line of the file that belongs to no card and could not be read.
struct FileProblem {
    int line = 0;
    Reason reason;
    bool operator==(const FileProblem&) const = default;
};

struct SourceFile {
    std::vector<SourceCard> cards;
    std::vector<FileProblem> problems;
    QString error; // reading the device failed; nothing else is valid then
};

// Where a reader gives each card as soon as it is made, instead of keeping it in `cards`.
using CardSink = std::function<void(SourceCard&&)>;

} // namespace interchange
