#include "sync/SyncSettings.h"

#include <QSettings>

namespace carddav {

SyncSettings SyncSettings::read(QSettings& s) {
    SyncSettings out;
    s.beginGroup(QStringLiteral("Sync"));
    out.server = s.value(QStringLiteral("Server")).toString();
    out.user = s.value(QStringLiteral("User")).toString();
    bool ok = false;
    const int interval = s.value(QStringLiteral("Interval")).toString().toInt(&ok);
    if (ok && interval >= 0)
        out.interval = interval;
    out.personalBook = s.value(QStringLiteral("PersonalBook")).toString();
    out.workBook = s.value(QStringLiteral("WorkBook")).toString();
    out.certificatePin = s.value(QStringLiteral("CertificatePin")).toString().toLatin1();
    s.endGroup();
    return out;
}

void SyncSettings::write(QSettings& s) const {
    s.beginGroup(QStringLiteral("Sync"));
    s.setValue(QStringLiteral("Server"), server);
    s.setValue(QStringLiteral("User"), user);
    s.setValue(QStringLiteral("Interval"), QString::number(interval));
    s.setValue(QStringLiteral("PersonalBook"), personalBook);
    s.setValue(QStringLiteral("WorkBook"), workBook);
    s.setValue(QStringLiteral("CertificatePin"), QString::fromLatin1(certificatePin));
    s.endGroup();
    s.sync();
}

} // namespace carddav
