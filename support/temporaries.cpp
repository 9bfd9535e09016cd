#include "support/temporaries.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace support {

namespace {

constexpr int signalList[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2,
                              SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR,  SIGABRT};

sigset_t endingSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : signalList) sigaddset(&set, sig);
    return set;
}

// The head of the list. Changed only with the ending signals held, so a
// handler always walks a whole list.
Temporary *volatile listed = nullptr;
volatile sig_atomic_t exiting = 0;

}  // namespace

// The list's one door, a friend of Temporary.
struct TemporaryList {
    static void add(Temporary *t)
    {
        t->before_ = nullptr;
        t->next_ = listed;
        if (t->next_) t->next_->before_ = t;
        std::atomic_signal_fence(std::memory_order_seq_cst);  // whole before a handler can reach it
        listed = t;
    }
    static void drop(Temporary *t)
    {
        if (t->before_)
            t->before_->next_ = t->next_;
        else if (listed == t)
            listed = t->next_;
        if (t->next_) t->next_->before_ = t->before_;
        t->next_ = t->before_ = nullptr;
    }
    // Async-signal-safe: unlink and getpid only.
    static void removeAll()
    {
        const pid_t self = getpid();
        for (Temporary *t = listed; t; t = t->next_)
            if (t->owner_ == self) unlink(t->path_.c_str());
    }
};

namespace {

extern "C" void removeTemporariesAndEnd(int sig)
{
    const int saved = errno;
    TemporaryList::removeAll();
    // SA_RESETHAND has put the default action back and SA_NODEFER lets the
    // signal act at once: the process ends as the signal meant it to.
    raise(sig);
    errno = saved;
}

extern "C" void removeTemporariesAtExit()
{
    exiting = 1;
    TemporaryList::removeAll();
}

// With every temporary, as the program, or a library of it, may have set a
// signal back to its default since the last one.
void installRemoval()
{
    watchProcessExit();
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndEnd;
    action.sa_mask = endingSignalSet();
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (int sig : signalList) {
        struct sigaction current {};
        if (sigaction(sig, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != SIG_DFL)
            continue;
        sigaction(sig, &action, nullptr);
    }
}

}  // namespace

std::span<const int> endingSignals()
{
    return signalList;
}

EndingSignalsHeld::EndingSignalsHeld()
{
    const sigset_t held = endingSignalSet();
    sigprocmask(SIG_BLOCK, &held, &previous_);
}

EndingSignalsHeld::~EndingSignalsHeld()
{
    sigprocmask(SIG_SETMASK, &previous_, nullptr);
}

int Temporary::create(std::string pattern)
{
    remove();
    installRemoval();
    EndingSignalsHeld held;
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    path_ = std::move(pattern);
    owner_ = getpid();
    TemporaryList::add(this);
    return fd;
}

void Temporary::remove()
{
    if (path_.empty()) return;
    const int saved = errno;
    EndingSignalsHeld held;
    unlink(path_.c_str());
    TemporaryList::drop(this);
    path_.clear();
    errno = saved;
}

void Temporary::release()
{
    if (path_.empty()) return;
    EndingSignalsHeld held;
    TemporaryList::drop(this);
    path_.clear();
}

void watchProcessExit()
{
    static bool watching = false;
    if (watching) return;
    watching = true;
    std::atexit(removeTemporariesAtExit);
}

bool processIsExiting()
{
    return exiting != 0;
}

}  // namespace support
