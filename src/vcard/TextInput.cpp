#include "vcard/TextInput.h"

#include <QByteArrayView>
#include <QStringDecoder>

namespace vcard {

namespace {

// Bytes at the end of a chunk that begin a character the next chunk may complete.
qsizetype openTail(QByteArrayView b) {
    for (qsizetype k = 1; k <= 3 && k <= b.size(); ++k) {
        const uchar c = uchar(b[b.size() - k]);
        if ((c & 0xC0) != 0x80) {
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            return length > k ? k : 0;
        }
    }
    return 0;
}

} // namespace

std::optional<bool> allUtf8(QIODevice& device) {
    const qint64 start = device.pos();
    QByteArray chunk(chunkSize, Qt::Uninitialized);
    QByteArray carried;
    bool valid = true;
    for (;;) {
        const qint64 n = device.read(chunk.data(), chunkSize);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        const QByteArray bytes = carried + QByteArray::fromRawData(chunk.constData(), n);
        const qsizetype tail = openTail(bytes);
        valid = QByteArrayView(bytes).first(bytes.size() - tail).isValidUtf8();
        carried = bytes.right(tail);
        if (!valid)
            break; // the rest cannot make it UTF-8
    }
    if (!device.seek(start))
        return std::nullopt;
    return valid && carried.isEmpty();
}

QString utf8OrHebrew(const QByteArray& bytes, bool utf8) {
    if (utf8)
        return QString::fromUtf8(bytes);
    QStringDecoder hebrew("windows-1255");
    return hebrew(bytes);
}

} // namespace vcard
