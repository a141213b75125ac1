#include "sync/ChangeWatch.h"

#include "store/Sqlite.h"
#include "store/StoreError.h"

namespace carddav {

ChangeWatch::ChangeWatch(QObject* parent) : QObject(parent) {}

ChangeWatch::~ChangeWatch() {
    unhook();
}

void ChangeWatch::unhook() {
    // The hook calls this object: it goes before the object does. A connection already
    // closed calls nothing any more.
    if (const std::shared_ptr<store::Connection> db = m_db.lock()) {
        try {
            db->setRowWriteHook({});
        } catch (const store::StoreError&) {
        }
    }
    m_db.reset();
    m_watched = nullptr;
}

void ChangeWatch::watch(const std::shared_ptr<store::Connection>& db) {
    if (db.get() == m_watched && !m_db.expired())
        return;
    unhook();
    if (!db)
        return;
    try {
        db->setRowWriteHook([this](const char* table) { written(table); });
    } catch (const store::StoreError&) {
        return; // closed: nothing will be written through it
    }
    m_db = db;
    m_watched = db.get();
}

void ChangeWatch::written(const char* table) {
    // Inside the engine's step: nothing here may touch the database, so the report waits for
    // the event loop. The state table's own rows are not cards.
    const QLatin1String name(table);
    if (name.compare(QLatin1String("Vesk"), Qt::CaseInsensitive) != 0 &&
        name.compare(QLatin1String("Work"), Qt::CaseInsensitive) != 0)
        return;
    if (m_written)
        return;
    m_written = true;
    QMetaObject::invokeMethod(this, &ChangeWatch::report, Qt::QueuedConnection);
}

void ChangeWatch::report() {
    if (!m_written)
        return;
    m_written = false;
    emit cardsWritten();
}

} // namespace carddav
