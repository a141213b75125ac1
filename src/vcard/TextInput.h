#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <optional>

#include <algorithm>

// Reading text files a line at a time, as the vCard readers do: line ends CR LF, LF or CR,
// and the check whether a whole file is UTF-8 (otherwise it is read as Windows-1255).
namespace vcard {

inline constexpr qsizetype chunkSize = 64 * 1024;
// No value a card keeps comes near this length, so a longer line is kept only this far.
// When what is dropped holds more than blanks, a non-blank mark stands for it, so the value
// stays as much too long as it was.
inline constexpr qsizetype longestLine = 64 * 1024;
inline constexpr char droppedMark = '\x7f';

// Lines of a device, each ending at CR LF, LF or CR, read a chunk at a time.
class LineReader {
public:
    explicit LineReader(QIODevice& device) : m_device(device) {}

    // The next line without its end; false after the last one, or when reading failed.
    bool next(QByteArray& line) {
        line.clear();
        bool started = false;
        bool dropped = false;
        while (m_pos < m_buffer.size() || fill()) {
            if (m_afterCr) {
                m_afterCr = false;
                if (m_buffer.at(m_pos) == '\n') {
                    ++m_pos;
                    continue;
                }
            }
            started = true;
            const char* data = m_buffer.constData();
            const char* from = data + m_pos;
            const char* stop = data + m_buffer.size();
            const char* at =
                std::find_if(from, stop, [](char c) { return c == '\r' || c == '\n'; });
            const qsizetype keep = std::min<qsizetype>(at - from, longestLine - line.size());
            line.append(from, keep);
            dropped = dropped || std::any_of(from + keep, at, [](char c) { return c != ' '; });
            m_pos = at - data;
            if (at != stop) {
                m_afterCr = *at == '\r';
                ++m_pos;
                break;
            }
        }
        if (dropped)
            line.append(droppedMark);
        return started;
    }
    bool failed() const { return m_failed; }

private:
    bool fill() {
        m_buffer.resize(chunkSize);
        const qint64 n = m_device.read(m_buffer.data(), chunkSize);
        m_failed = n < 0;
        m_buffer.resize(std::max<qint64>(n, 0));
        m_pos = 0;
        return n > 0;
    }

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_afterCr = false;
    bool m_failed = false;
};

// Whether the device's bytes, from where it stands to its end, are all valid UTF-8; reads
// them a chunk at a time, then rewinds the device to where it stood. Nothing when the device
// could not be read or rewound (its errorString() says why).
std::optional<bool> allUtf8(QIODevice& device);

// Text of bytes known to be UTF-8, or else in the Hebrew Windows code page (Windows-1255),
// the encoding of files written on Hebrew Windows systems.
QString utf8OrHebrew(const QByteArray& bytes, bool utf8);

} // namespace vcard
