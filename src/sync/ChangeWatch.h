#pragma once

#include <QObject>

#include <memory>

namespace store {
class Connection;
}

namespace carddav {

// Tells when cards of either list were written through a connection, whoever wrote them (the
// editor, a deletion, an import), once the write's own call has returned to the event loop.
// The sync's own writes are followed by its cardsChanged signal: `forget()` then drops them, so
// that only the user's changes start a sync.
class ChangeWatch final : public QObject {
    Q_OBJECT
public:
    explicit ChangeWatch(QObject* parent = nullptr);
    ~ChangeWatch() override;
    ChangeWatch(const ChangeWatch&) = delete;
    ChangeWatch& operator=(const ChangeWatch&) = delete;

    // Watches this connection (and no longer the one before); the same one again changes
    // nothing.
    void watch(const std::shared_ptr<store::Connection>& db);
    // The writes seen since the last report are not the user's.
    void forget() { m_written = false; }

signals:
    void cardsWritten();

private:
    void written(const char* table);
    void report();
    void unhook();

    std::weak_ptr<store::Connection> m_db;
    const store::Connection* m_watched = nullptr;
    bool m_written = false;
};

} // namespace carddav
