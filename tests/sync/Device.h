#pragma once
// One program folder that syncs: its contact file, settings, message double and controller.
#include "platform/Connectivity.h"
#include "platform/testing/ScriptedPrompter.h"
#include "store/Sqlite.h"
#include "sync/PasswordStore.h"
#include "sync/Radicale.h"
#include "sync/SyncController.h"
#include "sync/SyncState.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <chrono>

namespace synctest {

class SwitchableConnectivity final : public platform::Connectivity {
public:
    bool online = true;
    bool connected() override { return online; }
};

struct Device {
    explicit Device(const QUrl& server, const QString& personalBook = {},
                    const QString& workBook = {}) {
        makeContactFile(path());
        db = store::Connection::open(path());
        controller = std::make_unique<carddav::SyncController>([this] { return db; }, settings,
                                                               prompter, passwords, &connectivity);
        controller->setHomeRegion(QStringLiteral("IL"));
        carddav::SyncSettings s;
        s.server = server.toString();
        s.user = User;
        s.personalBook = personalBook;
        s.workBook = workBook;
        controller->saveSettings(s);
        controller->setPassword(Secret);
    }
    QString path() const { return dir.filePath(QStringLiteral("VESK.MDB")); }

    // One sync, waited for.
    carddav::Outcome sync(std::chrono::milliseconds timeout = std::chrono::minutes(1)) {
        QSignalSpy done(controller.get(), &carddav::SyncController::finished);
        controller->syncNow();
        if (done.isEmpty() && !done.wait(int(timeout.count())))
            return carddav::Outcome{carddav::Problem::Stalled, 0, QStringLiteral("test timeout")};
        return done.first().first().value<carddav::Outcome>();
    }
    std::vector<store::ContactRecord> cards(store::ContactGroup g = store::ContactGroup::Personal) {
        return carddav::readGroup(*db, g);
    }
    // "name|home|mobile|work|fax|address|email" of every card, sorted.
    // The cards, a line each: the name as stored (matching is by the trimmed name), the other
    // fields as the list shows them, so a blank address or e-mail, which the editor and the
    // import store as a single space, reads as empty.
    QStringList lines(store::ContactGroup g = store::ContactGroup::Personal) {
        QStringList out;
        for (const store::ContactRecord& c : cards(g)) {
            QStringList v;
            for (const store::Value& x : c.values)
                v << (v.isEmpty() ? x.value_or(QString()) : x.value_or(QString()).trimmed());
            out << v.join(u'|');
        }
        out.sort();
        return out;
    }
    qint64 add(store::ContactRecord card) { return store::InsertContact(*db, card); }
    store::ContactRecord named(const QString& name,
                               store::ContactGroup g = store::ContactGroup::Personal) {
        for (const store::ContactRecord& c : cards(g))
            if (c.values[0] == name)
                return c;
        return {};
    }
    // The card of that name changed in one field, or deleted, as the editor and the list do.
    bool edit(const QString& name, store::Role role, const QString& value,
              store::ContactGroup g = store::ContactGroup::Personal) {
        const store::ContactRecord loaded = named(name, g);
        store::ContactRecord changed = loaded;
        changed[role] = value;
        return store::UpdateContact(*db, loaded, changed);
    }
    bool remove(const QString& name, store::ContactGroup g = store::ContactGroup::Personal) {
        return store::DeleteContact(*db, g, named(name, g).rowid, name);
    }

    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    platform::testing::ScriptedPrompter prompter;
    carddav::MemoryPasswordStore passwords;
    SwitchableConnectivity connectivity;
    std::shared_ptr<store::Connection> db;
    std::unique_ptr<carddav::SyncController> controller;
};

} // namespace synctest
