// libFuzzer targets for the address-book readers: any bytes are read as a vCard file
// (FUZZ_CSV undefined) or a CSV file, and every card read is fitted to both lists (on this
// thread: the import's fitting on every core adds nothing to look for here).
#include "interchange/CsvReader.h"
#include "interchange/ImportPlan.h"
#include "interchange/VcfReader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
#ifdef FUZZ_CSV
    const interchange::SourceFile file = interchange::readCsv(buffer);
#else
    const interchange::SourceFile file = interchange::readVcf(buffer);
#endif
    for (auto group : {store::ContactGroup::Personal, store::ContactGroup::Work}) {
        for (const interchange::SourceCard& card : file.cards)
            (void)interchange::fitCard(card, group, QStringLiteral("IL"));
    }
    return 0;
}
