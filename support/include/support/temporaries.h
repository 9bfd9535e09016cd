// Files that exist only while a run is in progress: the temporaries an output
// is written to before it takes its name. Every one the process makes is on
// one list, and the process removes each one on that list wherever it lives
// to do so: at exit (the gd programs end through exit) and on every signal
// that ends a process by default and that a handler can catch, SIGXFSZ
// among them. Only a kill that cannot be caught (SIGKILL) or a crash leaves
// one behind.
//
// The handler is installed with each temporary, for every signal then at its
// default action (one set back to its default since the last temporary
// included): one that the program, or whoever started it, ignores
// or handles stays as it is (an ignored SIGXFSZ keeps a write past the file
// size limit failing with EFBIG). Having removed the temporaries, the handler
// lets the signal end the process as it would have. A forked child (the shell
// of a stage command, say) never removes its parent's temporaries.
#pragma once

#include <sys/types.h>

#include <signal.h>

#include <span>
#include <string>

namespace support {

// The signals whose default action ends the process and that a handler can
// catch: those a user, a scheduler or a resource limit sends. The crash
// signals (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS) are left to the
// sanitizers and the core file.
std::span<const int> endingSignals();

// Holds the ending signals back for its lifetime, so that no handler meets
// the list of temporaries half changed, or a file made but not yet listed.
class EndingSignalsHeld {
public:
    EndingSignalsHeld();
    ~EndingSignalsHeld();
    EndingSignalsHeld(const EndingSignalsHeld &) = delete;
    EndingSignalsHeld &operator=(const EndingSignalsHeld &) = delete;

private:
    sigset_t previous_;
};

// One listed temporary. Destroyed while it holds a file, it removes it.
class Temporary {
public:
    Temporary() = default;
    ~Temporary() { remove(); }
    Temporary(const Temporary &) = delete;
    Temporary &operator=(const Temporary &) = delete;

    // Makes a new file from `pattern`, whose name ends in "XXXXXX", as
    // mkostemp does (mode 0600, the descriptor close-on-exec), and lists it
    // in one step. The descriptor, open for reading and writing; -1, with
    // errno saying why and nothing made, when no file can be made there.
    int create(std::string pattern);

    // Removes the file and takes it off the list.
    void remove();

    // Takes the file off the list without removing it: it has been renamed
    // into place (call it with the ending signals held, right after the
    // rename, so that no handler looks for the old name in between).
    void release();

    bool held() const { return !path_.empty(); }
    // The file's name; empty when none is held.
    const std::string &path() const { return path_; }

private:
    friend struct TemporaryList;
    std::string path_;
    pid_t owner_ = 0;              // the process that made the file
    Temporary *next_ = nullptr;    // the next listed temporary
    Temporary *before_ = nullptr;  // the one listed before this one
};

// Has the process note when it begins to exit (the first temporary does
// this too). Registered after the objects built so far, so their teardown
// at exit comes after the note.
void watchProcessExit();

// True once the process has begun to exit, when watchProcessExit was called
// before: objects destroyed after that are torn down with the process.
bool processIsExiting();

}  // namespace support
