#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// The requests to end that reach a desktop program as signals: SIGTERM when the session
// ends, SIGINT from Ctrl+C in the terminal it was started from, SIGHUP when that terminal
// goes away. Each arrives as endRequested() on the event loop, so the program can close the
// way its user would close it. One instance at a time; the previous handlers come back
// when it goes.
class EndSignals final : public QObject {
    Q_OBJECT
public:
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

signals:
    void endRequested();

private:
    void drain();
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace platform
