#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>

namespace store {
class Connection;
}

namespace carddav {

class ChangeWatch;
class SyncController;

// When the program syncs by itself, out of sight: once at start, every `interval` minutes of
// the settings (0: never by the clock), and a few seconds after the user changes a card (each
// further change waits again, so a burst of changes makes one sync). Only with a server set up;
// a sync under way is not doubled, and a change made during one starts another after it.
// Offline the controller skips quietly and the next occasion tries again.
class AutoSync final : public QObject {
    Q_OBJECT
public:
    explicit AutoSync(SyncController& controller, QObject* parent = nullptr);
    ~AutoSync() override;

    // How long after a change the sync waits, and how long a minute of the interval lasts;
    // tests shorten both.
    void setChangeDelay(std::chrono::milliseconds delay) { m_afterChange.setInterval(delay); }
    void setMinute(std::chrono::milliseconds minute);
    // The connection whose writes to the lists are the user's changes.
    void watch(const std::shared_ptr<store::Connection>& db);

    // The sync at start (from the event loop, once the window is up) and the clock.
    void start();
    // No more automatic syncs: the program is ending.
    void stop();
    // A sync a few seconds from now, as after a change (after Import DB, say).
    void soon();

    const QTimer& clock() const { return m_clock; }
    const QTimer& afterChange() const { return m_afterChange; }

private:
    void setClock();
    void changed();
    enum class Occasion { Clock, Change };
    void run(Occasion occasion);

    SyncController& m_controller;
    ChangeWatch* m_watch;
    QTimer m_clock;
    QTimer m_afterChange;
    std::chrono::milliseconds m_minute{std::chrono::minutes(1)};
    bool m_running = false; // started and not stopped
    bool m_changedDuringSync = false;
};

} // namespace carddav
