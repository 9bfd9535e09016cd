#include "output.h"

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

// The temporary that a signal or an exit must remove; null while none is
// being written. Read by the signal handler, so it is a plain pointer to a
// name that does not change while it is set.
const char *volatile g_pendingTemporary = nullptr;

void removePendingTemporary()
{
    if (const char *name = g_pendingTemporary) {
        g_pendingTemporary = nullptr;
        unlink(name);
    }
}

// Removes the temporary, then lets the signal do what it would have done:
// the handler is reset on entry and not blocked, so raising the signal again
// ends the process as before (with SIGXFSZ from a file size limit, say).
void removeTemporaryOnSignal(int signal)
{
    if (const char *name = g_pendingTemporary) unlink(name);
    raise(signal);
}

// The signals that end a process and that it may catch. Crash signals are
// left to the sanitizers, which report on them.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE, SIGALRM, SIGUSR1,
                                  SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGABRT};

// Every time a temporary is made, since whoever runs the program may have
// changed a signal's handling in between.
void removeTemporaryAtEnd()
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        std::atexit(removePendingTemporary);
    }
    for (int signal : kEndingSignals) {
        struct sigaction old;
        // A signal that whoever started the program ignores stays ignored
        // (then a write past a file size limit fails instead of ending the
        // run), and one with a handler keeps it.
        if (sigaction(signal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
            old.sa_handler != SIG_DFL)
            continue;
        struct sigaction action = {};
        action.sa_handler = removeTemporaryOnSignal;
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

// Links in /proc lead to open files, not to names: a file reached through
// one (/dev/stdout is such a link) or lying there is written directly.
bool onProcFileSystem(const std::string &path)
{
    constexpr long kProcSuperMagic = 0x9fa0;
    struct statfs info;
    return statfs(path.c_str(), &info) == 0 && info.f_type == kProcSuperMagic;
}

std::string directoryOf(const std::string &path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string &path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

enum class Ctarget { kReplaced, kNew, kDirect, kRefused };

// Follows symbolic links from path to the real target and says how it is
// written; target is the real target's name for a replaced or new file.
Ctarget findTarget(const char *path, std::string &target, struct stat &info)
{
    constexpr int kMaxLinks = 40;
    target = path;
    for (int links = 0;; ++links) {
        if (lstat(target.c_str(), &info) != 0) return errno == ENOENT ? Ctarget::kNew : Ctarget::kRefused;
        if (!S_ISLNK(info.st_mode)) break;
        if (links == kMaxLinks) return Ctarget::kRefused;
        if (onProcFileSystem(directoryOf(target))) return Ctarget::kDirect;
        std::string link(size_t(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        ssize_t length;
        while ((length = readlink(target.c_str(), link.data(), link.size())) == ssize_t(link.size()))
            link.resize(link.size() * 2);
        if (length <= 0) return Ctarget::kRefused;
        link.resize(size_t(length));
        target = link[0] == '/' ? link : directoryOf(target) + "/" + link;
    }
    if (!S_ISREG(info.st_mode) || onProcFileSystem(target)) return Ctarget::kDirect;
    return Ctarget::kReplaced;
}

// Gives the temporary the replaced file's owner, where the system allows,
// and its permission bits. Where either fails the temporary keeps its own,
// which only this user may read and write: nothing is opened wider.
void keepOwnerAndMode(int fd, const struct stat *existing, mode_t mode)
{
    bool kept = true;
    // The owner first: giving a file away clears its set-id bits.
    if (existing != nullptr && (existing->st_uid != geteuid() || existing->st_gid != getegid()))
        kept = fchown(fd, existing->st_uid, existing->st_gid) == 0 ||
               fchown(fd, uid_t(-1), existing->st_gid) == 0;
    kept = fchmod(fd, mode) == 0 && kept;
    (void)kept;
}

}  // namespace

void CoutputFile::openStandardOutput()
{
    m_pStream = stdout;
    m_standardOutput = true;
    m_name = "standard output";
}

void CoutputFile::forgetPending() const
{
    if (g_pendingTemporary == m_temporary.c_str()) g_pendingTemporary = nullptr;
}

bool CoutputFile::openDirectly(const char *path)
{
    m_fd = ::open(path, O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return m_fd >= 0;
}

bool CoutputFile::makeTemporary(const std::string &target, int mode, const struct stat *existing)
{
    // The name must fit in a directory entry of 255 bytes.
    constexpr size_t kNameMax = 255;
    const std::string suffix = ".tmp.XXXXXX";
    std::string base = baseOf(target);
    if (base.size() + suffix.size() + 1 > kNameMax) base.resize(kNameMax - suffix.size() - 1);
    std::string name = directoryOf(target) + "/." + base + suffix;

    removeTemporaryAtEnd();
    // No signal may come between making the file and noting its name.
    sigset_t all, previous;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous);
    m_fd = mkostemp(name.data(), O_CLOEXEC);
    if (m_fd >= 0) {
        m_temporary = name;
        g_pendingTemporary = m_temporary.c_str();
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    if (m_fd < 0) return false;
    m_target = target;
    keepOwnerAndMode(m_fd, existing, mode_t(mode));
    return true;
}

CstepEnd CoutputFile::stop() const
{
    std::fprintf(stderr, "Can't write to '%s'\n", displayName());
    return CstepEnd::kStopped;
}

CstepEnd CoutputFile::open(const char *path)
{
    m_name = path;
    return openTarget(path) ? CstepEnd::kDone : stop();
}

bool CoutputFile::openTarget(const char *path)
{
    if (path[0] == '\0') return false;
    std::string target;
    struct stat info;
    switch (findTarget(path, target, info)) {
    case Ctarget::kRefused: return false;
    case Ctarget::kDirect: return openDirectly(path);
    case Ctarget::kNew: {
        mode_t mask = umask(0);
        umask(mask);
        return makeTemporary(target, 0666 & ~mask, nullptr);
    }
    case Ctarget::kReplaced: {
        // The rename would replace a file the user may not write whenever
        // its directory is writable: only a file that opens for writing is
        // replaced. Opening it changes nothing.
        int probe = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) return false;
        close(probe);
        return makeTemporary(target, int(info.st_mode & 07777), &info);
    }
    }
    return false;
}

CstepEnd CoutputFile::begin()
{
    if (m_standardOutput) return m_pStream != nullptr ? CstepEnd::kDone : stop();
    if (m_fd < 0) return stop();
    if (m_temporary.empty()) {
        struct stat info;
        if (fstat(m_fd, &info) != 0) return stop();
        // A regular file reached through /proc is written in place.
        if (S_ISREG(info.st_mode) && ftruncate(m_fd, 0) != 0) return stop();
    }
    m_pStream = fdopen(m_fd, "w");
    if (m_pStream == nullptr) return stop();
    m_fd = -1;
    return CstepEnd::kDone;
}

CstepEnd CoutputFile::finish()
{
    return finishWriting() ? CstepEnd::kDone : stop();
}

bool CoutputFile::finishWriting()
{
    if (m_pStream == nullptr) return false;
    bool good = std::fflush(m_pStream) == 0 && !std::ferror(m_pStream);
    // The data must be on the disk before the name points at it, or a crash
    // could leave an empty file in the target's place.
    if (good && !m_temporary.empty() && fsync(fileno(m_pStream)) != 0) good = false;
    if (std::fclose(m_pStream) != 0) good = false;
    m_pStream = nullptr;
    if (!m_temporary.empty()) {
        if (good && rename(m_temporary.c_str(), m_target.c_str()) != 0) good = false;
        if (!good) unlink(m_temporary.c_str());
        forgetPending();
        m_temporary.clear();
    }
    return good;
}

void CoutputFile::abandon()
{
    if (m_pStream != nullptr && !m_standardOutput) std::fclose(m_pStream);
    m_pStream = nullptr;
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        forgetPending();
        unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}
