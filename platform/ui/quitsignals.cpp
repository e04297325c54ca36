#include "platform/ui/quitsignals.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace ui {
namespace {

sigset_t QuitSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void QuitSignals::Block() {
    const sigset_t set = QuitSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

QuitSignals::QuitSignals(Backend& backend) : backend_(backend) {
    const sigset_t set = QuitSet();
    if (pthread_sigmask(SIG_BLOCK, &set, &previousMask_) != 0) return;
    signals_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    stop_ = ::eventfd(0, EFD_CLOEXEC);
    if (signals_ < 0 || stop_ < 0) return;
    // The new thread starts with the signals blocked, as this one has them now.
    watcher_ = std::thread([this] { Watch(); });
}

QuitSignals::~QuitSignals() {
    if (watcher_.joinable()) {
        const std::uint64_t one = 1;
        (void)!::write(stop_, &one, sizeof one);
        watcher_.join();
    }
    if (signals_ >= 0) {
        // A signal that came after the watcher ended would strike as soon as the old mask is
        // back; the program is ending anyway, so it goes unanswered.
        signalfd_siginfo info;
        while (::read(signals_, &info, sizeof info) == sizeof info) {
        }
        ::close(signals_);
    }
    if (stop_ >= 0) ::close(stop_);
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void QuitSignals::Watch() {
    bool asked = false;
    for (;;) {
        pollfd ready[2] = {{signals_, POLLIN, 0}, {stop_, POLLIN, 0}};
        if (::poll(ready, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (ready[1].revents != 0) return;
        signalfd_siginfo info;
        if (::read(signals_, &info, sizeof info) != sizeof info) continue;
        // Asked twice: the program did not end in time (or is stuck); the sender means it.
        if (asked) std::_Exit(128 + static_cast<int>(info.ssi_signo));
        asked = true;
        backend_.RequestQuit();
    }
}

}  // namespace ui
