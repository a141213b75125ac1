#include "platform/EndSignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::array<int, 3> handled = {SIGTERM, SIGINT, SIGHUP};
// The two ends of the pipe from the handler to the event loop. A handler may touch nothing
// else: it writes one byte, which is async-signal-safe.
int endFds[2] = {-1, -1};
std::array<struct sigaction, handled.size()> previous{};

extern "C" void onEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(endFds[0], &byte, 1);
    errno = saved;
}

} // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, endFds) != 0)
        return;
    // A flood of signals must never block the handler.
    ::fcntl(endFds[0], F_SETFL, ::fcntl(endFds[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(endFds[1], F_SETFL, ::fcntl(endFds[1], F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(endFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndSignals::drain);

    struct sigaction action = {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < handled.size(); ++i)
        ::sigaction(handled[i], &action, &previous[i]);
}

EndSignals::~EndSignals() {
    if (!m_notifier)
        return;
    for (size_t i = 0; i < handled.size(); ++i)
        ::sigaction(handled[i], &previous[i], nullptr);
    delete m_notifier;
    ::close(endFds[0]);
    ::close(endFds[1]);
    endFds[0] = endFds[1] = -1;
}

void EndSignals::drain() {
    char buffer[64];
    bool any = false;
    while (::read(endFds[1], buffer, sizeof buffer) > 0)
        any = true;
    if (any)
        emit endRequested();
}

} // namespace platform
