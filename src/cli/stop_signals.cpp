#include "stop_signals.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace quillet::cli {

namespace {

std::atomic<int> g_write_end{-1};
std::atomic<bool> g_received{false};

extern "C" void on_stop_signal(int) {
    const int saved = errno;
    g_received.store(true);
    const int fd = g_write_end.load();
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
    }
    errno = saved;
}

void set_handler(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals then end the program as they always do
    }
    read_end_ = ends[0];
    g_write_end.store(ends[1]);
    notifier_ = new QSocketNotifier(read_end_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[64];
        while (::read(read_end_, bytes, sizeof bytes) > 0) {
        }
        Q_EMIT stopRequested();
    });
    set_handler(on_stop_signal);
}

StopSignals::~StopSignals() {
    if (read_end_ < 0) {
        return;
    }
    set_handler(SIG_DFL);
    ::close(g_write_end.exchange(-1));
    ::close(read_end_);
}

bool StopSignals::received() {
    return g_received.load();
}

}  // namespace quillet::cli
