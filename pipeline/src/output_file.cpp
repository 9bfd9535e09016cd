#include "output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <system_error>

namespace pipeline {

namespace {

// Signals that end the process by default and that a handler can catch.
// While a new file is pending, each of them first removes it.
constexpr int endingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,   SIGALRM,
                                 SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF};
constexpr std::size_t signalCount = std::size(endingSignals);

// The names of the pending new files, read by the signal handler. A program
// of this subsystem has one output open at a time; a fifth is still removed
// by its owner, only not on a signal.
constexpr std::size_t maxPending = 4;
std::atomic<const char *> pendingNames[maxPending];
std::size_t pendingCount = 0;
struct sigaction previousActions[signalCount];
bool handlerInstalled[signalCount];

void removePendingAndResend(int signalNumber)
{
    int savedErrno = errno;
    for (std::atomic<const char *> &slot : pendingNames) {
        if (const char *name = slot.load()) unlink(name);
    }
    // SA_RESETHAND has put the default action back: sent again, the signal
    // takes its course once the handler returns.
    raise(signalNumber);
    errno = savedErrno;
}

// Only signals left at their default action get the handler: one that the
// program (or whoever started it) ignores or handles stays as it is, so an
// ignored SIGXFSZ still makes an oversized write fail with EFBIG.
void installHandlers()
{
    for (std::size_t i = 0; i < signalCount; ++i) {
        struct sigaction current;
        handlerInstalled[i] = false;
        if (sigaction(endingSignals[i], nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
            current.sa_handler != SIG_DFL)
            continue;
        struct sigaction handler {};
        handler.sa_handler = removePendingAndResend;
        handler.sa_flags = SA_RESETHAND;
        sigemptyset(&handler.sa_mask);
        for (int other : endingSignals) sigaddset(&handler.sa_mask, other);
        if (sigaction(endingSignals[i], &handler, &previousActions[i]) == 0) handlerInstalled[i] = true;
    }
}

void restoreHandlers()
{
    for (std::size_t i = 0; i < signalCount; ++i) {
        if (handlerInstalled[i]) sigaction(endingSignals[i], &previousActions[i], nullptr);
        handlerInstalled[i] = false;
    }
}

// Keeps the ending signals back while a new file is made or put in place, so
// that none arrives between the file's creation and its entry in the list.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (int signalNumber : endingSignals) sigaddset(&held, signalNumber);
        sigprocmask(SIG_BLOCK, &held, &before_);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
    SignalsHeld(const SignalsHeld &) = delete;
    SignalsHeld &operator=(const SignalsHeld &) = delete;

private:
    sigset_t before_;
};

void addPending(const char *name)
{
    for (std::atomic<const char *> &slot : pendingNames) {
        if (slot.load() == nullptr) {
            slot.store(name);
            if (++pendingCount == 1) installHandlers();
            return;
        }
    }
}

void dropPending(const char *name)
{
    for (std::atomic<const char *> &slot : pendingNames) {
        if (slot.load() == name) {
            slot.store(nullptr);
            if (--pendingCount == 0) restoreHandlers();
            return;
        }
    }
}

// The name's file with the symbolic links of its last part followed, each
// relative link read from the folder of the link. Folders on the way are
// left to the system: the new file named beside it lands where it lands.
std::optional<std::string> followLinks(std::string name)
{
    constexpr int maxHops = 40;
    for (int hop = 0; hop < maxHops; ++hop) {
        struct stat status;
        if (lstat(name.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return name;
        std::error_code error;
        std::string target = std::filesystem::read_symlink(name, error).string();
        if (error || target.empty()) return std::nullopt;
        if (target[0] != '/') {
            std::size_t slash = name.rfind('/');
            target = (slash == std::string::npos ? "" : name.substr(0, slash + 1)) + target;
        }
        name = std::move(target);
    }
    return std::nullopt;
}

// The file that replacing name must replace: the real target of its links,
// when that is where the system's own open of name lands (a link through
// /proc, such as /dev/stdout, names no file that a rename could reach).
std::optional<std::string> replaceableTarget(const std::string &name, const struct stat *named)
{
    std::optional<std::string> real = followLinks(name);
    if (!real) return std::nullopt;
    struct stat status;
    bool found = lstat(real->c_str(), &status) == 0;
    if (named == nullptr) {
        if (found || errno != ENOENT) return std::nullopt;
        return real;
    }
    if (!found || !S_ISREG(status.st_mode) || status.st_dev != named->st_dev ||
        status.st_ino != named->st_ino)
        return std::nullopt;
    return real;
}

// ".<name>.tmp.XXXXXX" in the target's folder, the name cut short where the
// whole would pass the system's limit on one name.
std::string temporaryPattern(const std::string &target)
{
    constexpr std::size_t nameLimit = 255;
    constexpr std::string_view tail = ".tmp.XXXXXX";
    std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    base.resize(std::min(base.size(), nameLimit - 1 - tail.size()));
    return folder + "." + base + std::string(tail);
}

mode_t modeOfNewFiles()
{
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

OutputFile::~OutputFile()
{
    abandon();
}

bool OutputFile::open(const std::string &name)
{
    return start(name, true);
}

bool OutputFile::openBeside(const std::string &name)
{
    return start(name, false);
}

bool OutputFile::start(const std::string &name, bool mayWriteInPlace)
{
    if (name.empty() || descriptor_ >= 0) return false;
    inPlace_ = false;
    struct stat named;
    bool exists = stat(name.c_str(), &named) == 0;
    if (!exists && errno != ENOENT) return false;
    std::optional<std::string> target;
    if (!exists || S_ISREG(named.st_mode)) target = replaceableTarget(name, exists ? &named : nullptr);
    if (!target) {
        if (!mayWriteInPlace) return false;
        descriptor_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (descriptor_ < 0) return false;
        inPlace_ = true;
    } else {
        // The rename needs only the folder's permission: a file that the user
        // may not write is refused here, as writing it in place would be.
        if (exists && faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return false;
        std::string temporary = temporaryPattern(*target);
        {
            SignalsHeld held;
            int descriptor = mkostemp(temporary.data(), O_CLOEXEC);
            if (descriptor < 0) return false;
            descriptor_ = descriptor;
            temporary_ = std::move(temporary);
            addPending(temporary_.c_str());
        }
        target_ = std::move(*target);
        // An existing target keeps its permission bits, and its owner where the
        // user may give it away (else the file becomes the user's, as a copy
        // would); a new one gets the bits of any new file. The bits are given
        // when the file is whole: until then it stays the user's to write, also
        // for another program that fills it by name.
        if (exists) (void)!fchown(descriptor_, named.st_uid, named.st_gid);
        mode_ = exists ? named.st_mode & 07777 : modeOfNewFiles();
    }
    writeFailed_ = false;
    setp(buffer_, buffer_ + sizeof buffer_);
    return true;
}

bool OutputFile::commit()
{
    if (descriptor_ < 0) return false;
    bool written = flushBuffer();
    if (!inPlace_ && fchmod(descriptor_, mode_) != 0) written = false;
    bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (inPlace_) return written && closed;
    SignalsHeld held;
    bool placed = written && closed && rename(temporary_.c_str(), target_.c_str()) == 0;
    if (!placed) unlink(temporary_.c_str());
    dropPending(temporary_.c_str());
    temporary_.clear();
    return placed;
}

void OutputFile::abandon()
{
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (temporary_.empty()) return;
    SignalsHeld held;
    unlink(temporary_.c_str());
    dropPending(temporary_.c_str());
    temporary_.clear();
}

bool OutputFile::writeOut(const char *data, std::size_t size)
{
    while (size > 0 && !writeFailed_) {
        ssize_t done = write(descriptor_, data, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            writeFailed_ = true;
            break;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return !writeFailed_;
}

bool OutputFile::flushBuffer()
{
    if (descriptor_ < 0) return false;
    bool written = writeOut(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_, buffer_ + sizeof buffer_);
    return written;
}

OutputFile::int_type OutputFile::overflow(int_type c)
{
    if (!flushBuffer()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize OutputFile::xsputn(const char *data, std::streamsize size)
{
    std::size_t count = static_cast<std::size_t>(size);
    if (count <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), data, count);
        pbump(static_cast<int>(count));
        return size;
    }
    if (!flushBuffer()) return 0;
    if (count >= sizeof buffer_) return writeOut(data, count) ? size : 0;
    std::memcpy(pptr(), data, count);
    pbump(static_cast<int>(count));
    return size;
}

int OutputFile::sync()
{
    return flushBuffer() ? 0 : -1;
}

}  // namespace pipeline
