#pragma once

#include <QByteArrayView>
#include <QString>

namespace store {

// Trims space characters (only U+0020: not tabs or line breaks) from both ends. A text with
// nothing to trim is returned as a shared copy, without allocating.
inline QString trimSpaces(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == u' ')
        ++begin;
    while (end > begin && s.at(end - 1) == u' ')
        --end;
    if (begin == 0 && end == s.size())
        return s;
    return s.mid(begin, end - begin);
}

// The same for UTF-8 bytes.
inline QByteArrayView trimSpaces(QByteArrayView bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && bytes[begin] == ' ')
        ++begin;
    while (end > begin && bytes[end - 1] == ' ')
        --end;
    return bytes.sliced(begin, end - begin);
}

} // namespace store
