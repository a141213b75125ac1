#include "sync/AutoSync.h"

#include "sync/ChangeWatch.h"
#include "sync/SyncController.h"

#include <algorithm>

namespace carddav {

namespace {
constexpr std::chrono::milliseconds AfterChange{5000};
// A week: any longer interval is a week's, within what a timer can count.
constexpr int LongestInterval = 7 * 24 * 60;
} // namespace

AutoSync::AutoSync(SyncController& controller, QObject* parent)
    : QObject(parent), m_controller(controller), m_watch(new ChangeWatch(this)) {
    m_afterChange.setSingleShot(true);
    m_afterChange.setInterval(AfterChange);
    connect(&m_afterChange, &QTimer::timeout, this, [this] { run(Occasion::Change); });
    connect(&m_clock, &QTimer::timeout, this, [this] { run(Occasion::Clock); });
    connect(m_watch, &ChangeWatch::cardsWritten, this, &AutoSync::changed);
    // The sync's own writes are not changes to send back.
    connect(&m_controller, &SyncController::cardsChanged, m_watch, &ChangeWatch::forget);
    connect(&m_controller, &SyncController::settingsChanged, this, &AutoSync::setClock);
    connect(&m_controller, &SyncController::finished, this, [this] {
        if (m_changedDuringSync && m_running) {
            m_changedDuringSync = false;
            m_afterChange.start();
        }
    });
}

AutoSync::~AutoSync() = default;

void AutoSync::setMinute(std::chrono::milliseconds minute) {
    m_minute = minute;
    setClock();
}

void AutoSync::watch(const std::shared_ptr<store::Connection>& db) {
    m_watch->watch(db);
}

void AutoSync::start() {
    m_running = true;
    setClock();
    QMetaObject::invokeMethod(
        this, [this] { run(Occasion::Clock); }, Qt::QueuedConnection);
}

void AutoSync::stop() {
    m_running = false;
    m_clock.stop();
    m_afterChange.stop();
}

void AutoSync::soon() {
    if (m_running)
        m_afterChange.start();
}

void AutoSync::setClock() {
    const int minutes = std::min(m_controller.settings().interval, LongestInterval);
    if (!m_running || minutes <= 0) {
        m_clock.stop();
        return;
    }
    const std::chrono::milliseconds every = m_minute * minutes;
    // A changed interval counts from now; the same one keeps its course.
    if (!m_clock.isActive() || m_clock.intervalAsDuration() != every)
        m_clock.start(every);
}

void AutoSync::changed() {
    if (!m_running)
        return;
    if (m_controller.running())
        m_changedDuringSync = true;
    else
        m_afterChange.start();
}

void AutoSync::run(Occasion occasion) {
    if (!m_running || !m_controller.settings().configured())
        return;
    if (m_controller.running()) {
        // The sync under way may have read the lists before this change: another follows it.
        if (occasion == Occasion::Change)
            m_changedDuringSync = true;
        return;
    }
    m_controller.syncNow();
}

} // namespace carddav
