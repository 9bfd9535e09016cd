#include "output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

namespace layout {
namespace {

// The temporaries a signal handler must remove.  A run has at most two
// outputs in flight (tessel's layout file and its -t include file).
struct PendingTemporary {
    char path[PATH_MAX];
    volatile sig_atomic_t active;
};
PendingTemporary pendingTemporaries[4];

// The signals whose default action ends the program without a crash: those
// a user, a scheduler or a resource limit sends.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,   SIGALRM,
                                  SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};

extern "C" void removeTemporariesAndEnd(int sig)
{
    for (PendingTemporary &p : pendingTemporaries)
        if (p.active) unlink(p.path);
    // SA_RESETHAND has brought back the default action and SA_NODEFER lets
    // the signal act at once: the program ends as the signal meant it to.
    raise(sig);
}

void catchEndingSignals()
{
    static bool caught = false;
    if (caught) return;
    caught = true;
    for (int sig : kEndingSignals) {
        struct sigaction current {};
        // A signal ignored when the program started (nohup, or a write past
        // the file-size limit meant to fail with EFBIG) stays ignored.
        if (sigaction(sig, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction action {};
        action.sa_handler = removeTemporariesAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigaction(sig, &action, nullptr);
    }
}

// Holds back the ending signals while a temporary comes into being or goes,
// so that a handler never meets it half registered.
struct EndingSignalsHeld {
    sigset_t previous;
    EndingSignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (int sig : kEndingSignals) sigaddset(&held, sig);
        sigprocmask(SIG_BLOCK, &held, &previous);
    }
    ~EndingSignalsHeld() { sigprocmask(SIG_SETMASK, &previous, nullptr); }
};

int registerTemporary(const std::string &path)
{
    if (path.size() >= PATH_MAX) return -1;
    for (int k = 0; k < static_cast<int>(std::size(pendingTemporaries)); ++k) {
        PendingTemporary &p = pendingTemporaries[k];
        if (p.active) continue;
        std::memcpy(p.path, path.c_str(), path.size() + 1);
        std::atomic_signal_fence(
            std::memory_order_seq_cst);  // the path is whole before a handler may read it
        p.active = 1;
        return k;
    }
    return -1;
}

void unregisterTemporary(int &slot)
{
    if (slot >= 0) pendingTemporaries[slot].active = 0;
    slot = -1;
}

std::string directoryOf(const std::string &path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows symbolic links from `path` to the file they lead to, which may not
// exist yet (a dangling link names the file to create).  `exists` and `st`
// tell about that file.
bool resolveTarget(std::string path, std::string &finalPath, bool &exists, struct stat &st)
{
    for (int hops = 0; hops < 40; ++hops) {
        if (lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return false;
            exists = false;
            finalPath = path;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            finalPath = path;
            return true;
        }
        std::vector<char> link(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        ssize_t n = readlink(path.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<size_t>(n) >= link.size()) return false;
        std::string next(link.data(), static_cast<size_t>(n));
        path = !next.empty() && next[0] == '/' ? next : directoryOf(path) + next;
    }
    return false;  // a loop of links
}

// ".NAME.tmp.XXXXXX" beside the target; a long name is cut so that the
// temporary's name still fits a directory entry.
std::string temporaryTemplate(const std::string &finalPath)
{
    std::string dir = directoryOf(finalPath);
    std::string base = finalPath.substr(dir.size());
    constexpr size_t kAdded = std::char_traits<char>::length("..tmp.XXXXXX");
    if (base.size() + kAdded > NAME_MAX) base.resize(NAME_MAX - kAdded);
    return dir + "." + base + ".tmp.XXXXXX";
}

mode_t newFileMode()
{
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

MaybeFailure cannotOpen(const std::string &name)
{
    return fail(format("\nCould not open file : %s for write.", name.c_str()));
}

MaybeFailure cannotWrite(OutputFile &file)
{
    discardOutputFile(file);
    return fail(format("\nCould not write file : %s\n", file.name.c_str()));
}

}  // namespace

OutputFile::~OutputFile()
{
    discardOutputFile(*this);
}

MaybeFailure openOutputFile(const std::string &name, OutputFile &file)
{
    discardOutputFile(file);
    file.name = name;
    file.written = false;
    bool exists = false;
    struct stat st {};
    if (!resolveTarget(name, file.finalPath, exists, st) || (exists && !S_ISREG(st.st_mode))) {
        // Not a regular file (or no way to tell): written where it is, as a
        // terminal or a FIFO must be; a directory fails to open here.
        file.tempPath.clear();
        file.stream = std::fopen(name.c_str(), "w");
        return file.stream ? std::nullopt : cannotOpen(name);
    }
    if (exists) {
        // A target that may not be written is refused, though its directory
        // would let a rename replace it.
        int probe = open(file.finalPath.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) return cannotOpen(name);
        close(probe);
        file.mode = st.st_mode & 07777;
    } else {
        file.mode = newFileMode();
    }
    catchEndingSignals();
    std::string path = temporaryTemplate(file.finalPath);
    int fd = -1;
    {
        EndingSignalsHeld held;
        fd = mkstemp(path.data());
        if (fd >= 0 && (file.pendingSlot = registerTemporary(path)) < 0) {
            close(fd);
            unlink(path.c_str());
            fd = -1;
        }
    }
    if (fd < 0) return cannotOpen(name);
    file.tempPath = path;
    if (exists && (st.st_uid != geteuid() || st.st_gid != getegid())) {
        // Keep the owner where we may (as root); otherwise the file becomes ours.
        if (fchown(fd, st.st_uid, st.st_gid) != 0) (void)fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    }
    file.stream = fdopen(fd, "w");
    if (!file.stream) {
        close(fd);
        discardOutputFile(file);
        return cannotOpen(name);
    }
    return std::nullopt;
}

MaybeFailure writeOutputFile(OutputFile &file, std::string_view text)
{
    if (!file.stream) return cannotWrite(file);
    bool ok = std::fwrite(text.data(), 1, text.size(), file.stream) == text.size();
    ok = std::fflush(file.stream) == 0 && ok;
    ok = !std::ferror(file.stream) && ok;
    if (!file.tempPath.empty()) ok = fchmod(fileno(file.stream), file.mode) == 0 && ok;
    ok = std::fclose(file.stream) == 0 && ok;
    file.stream = nullptr;
    if (!ok) return cannotWrite(file);
    file.written = true;
    return std::nullopt;
}

MaybeFailure installOutputFile(OutputFile &file)
{
    if (file.tempPath.empty()) return std::nullopt;
    if (!file.written) return cannotWrite(file);
    {
        EndingSignalsHeld held;
        if (std::rename(file.tempPath.c_str(), file.finalPath.c_str()) == 0) {
            unregisterTemporary(file.pendingSlot);
            file.tempPath.clear();
            return std::nullopt;
        }
    }
    return cannotWrite(file);
}

void discardOutputFile(OutputFile &file)
{
    if (file.stream) std::fclose(file.stream);
    file.stream = nullptr;
    if (!file.tempPath.empty()) {
        EndingSignalsHeld held;
        unlink(file.tempPath.c_str());
        file.tempPath.clear();
        unregisterTemporary(file.pendingSlot);
    }
    file.written = false;
}

MaybeFailure writeWholeFile(const std::string &name, std::string_view text)
{
    OutputFile file;
    if (MaybeFailure o = openOutputFile(name, file)) return o;
    if (MaybeFailure o = writeOutputFile(file, text)) return o;
    return installOutputFile(file);
}

}  // namespace layout
