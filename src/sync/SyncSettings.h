#pragma once

#include <QByteArray>
#include <QString>

class QSettings;

namespace carddav {

// The [Sync] section of the settings file. The password is never here: see PasswordStore.
struct SyncSettings {
    QString server;
    QString user;
    int interval = 15; // minutes between automatic syncs; 0: none
    QString personalBook;
    QString workBook;
    QByteArray certificatePin; // SHA-256 of a certificate the user trusted, in hexadecimal

    static SyncSettings read(QSettings& settings);
    void write(QSettings& settings) const;
    bool configured() const {
        return !server.isEmpty() && !user.isEmpty() &&
               (!personalBook.isEmpty() || !workBook.isEmpty());
    }
    bool operator==(const SyncSettings&) const = default;
};

} // namespace carddav
