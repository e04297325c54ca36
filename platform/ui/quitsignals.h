// The requests to stop that a session, a terminal or a user sends, SIGTERM, SIGINT and SIGHUP,
// turned into a quit of the application. While a QuitSignals lives they no longer end the
// process on the spot: each makes the backend report Quit, and every message loop of the
// application, the modal loops of open dialogs and message boxes included, ends at its next
// turn; the program then closes its windows and ends as after its close button, between two
// of its steps, never within one. A second signal before that ends the process at once.
//
// The signals are blocked in every thread and read, from a thread of the watcher's own, as
// they arrive for the process (as kill, a terminal or a session manager sends them).
#pragma once

#include <signal.h>

#include <thread>

#include "platform/ui/backend.h"

namespace ui {

class QuitSignals {
public:
    // Blocks the three signals in the calling thread and so in every thread it starts from
    // now on: the program calls it first thing in main, before any library can start a thread
    // that would still be ended by them.
    static void Block();

    // Blocks the signals (as Block does) and hands each one to backend.RequestQuit until it is
    // destroyed; then the thread's signal mask is as it was. It must go before the backend.
    explicit QuitSignals(Backend& backend);
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // False when the signals could not be watched; they then do what they did before.
    bool Watching() const { return watcher_.joinable(); }

private:
    void Watch();

    Backend& backend_;
    sigset_t previousMask_{};
    int signals_ = -1;  // readable when one of the signals is pending
    int stop_ = -1;     // readable once the destructor asks the watcher to end
    std::thread watcher_;
};

}  // namespace ui
