// libFuzzer target for the vCard reader: any bytes are read as a file, and whatever card
// they give is checked for import into either list and written out again.
#include "vcard/VCardCard.h"
#include "vcard/VCardText.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const vcard::ReadResult read = vcard::readVcard(buffer);
    for (auto group : {store::ContactGroup::Personal, store::ContactGroup::Work})
        (void)vcard::importedCard(read.fields, group);
    (void)vcard::vcardBytes(read.fields);
    (void)vcard::vcardBytes(read.fields, "windows-1255");
    return 0;
}
