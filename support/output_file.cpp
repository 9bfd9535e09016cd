#include "support/output_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "support/file_names.h"
#include "support/input_file.h"

namespace support {

namespace {

constexpr size_t bufferBytes = 1 << 16;
// Links are followed at most this many times, as the system does.
constexpr int maxLinks = 40;

bool onProc(const std::string &directory)
{
    struct statfs fs;
    return statfs(directory.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

// ".NAME.tmp.XXXXXX" in `folder`, NAME cut where the whole would pass the
// longest name a folder entry takes.
std::string temporaryPattern(const std::string &folder, const std::string &name)
{
    constexpr size_t frame = std::char_traits<char>::length("..tmp.XXXXXX");
    std::string base = name;
    if (base.size() + frame > NAME_MAX) base.resize(NAME_MAX - frame);
    return folder + "/." + base + ".tmp.XXXXXX";
}

// Writes all of `size` bytes, at `offset` when it is not -1 (else where the
// descriptor stands). False, with errno, at the first failure.
bool writeAll(int fd, const char *data, size_t size, off_t offset = -1)
{
    while (size > 0) {
        const size_t ask = size < ((size_t)1 << 30) ? size : (size_t)1 << 30;
        const ssize_t n = offset < 0 ? ::write(fd, data, ask) : pwrite(fd, data, ask, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= (size_t)n;
        if (offset >= 0) offset += n;
    }
    return true;
}

// The folder's refusal, as a system error says it.
bool folderRefuses(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

}  // namespace

std::string OutputFailure::folderReason() const
{
    if (folder.empty()) return {};
    return "the folder " + folder + " cannot take a new file: " + std::strerror(error);
}

OutputFile::~OutputFile()
{
    // A forgotten keep() would be a silently missing file. Torn down by an
    // exception or with the process, an output is discarded as it should be.
    assert(ended_ || std::uncaught_exceptions() > exceptionsAtOpen_ || processIsExiting());
    discard();
    std::free(buffer_);
}

const std::string &OutputFile::temporaryName() const
{
    static const std::string none;
    return options_.filledByName ? temporary_.path() : none;
}

bool OutputFile::refuse(OutputStep step, int error, std::string folder)
{
    closeAll();
    temporary_.remove();
    kind_ = OutputKind::none;
    failure_ = {step, error, std::move(folder)};
    return false;
}

bool OutputFile::fail(OutputStep step, int error)
{
    if (!failure_) failure_ = {step, error, {}};
    return false;
}

void OutputFile::closeAll()
{
    if (stream_) {
        // The stream's last bytes go nowhere: the output is being dropped.
        FILE *s = stream_;
        stream_ = nullptr;
        discarding_ = true;
        fclose(s);
        discarding_ = false;
    }
    if (fd_ >= 0 && ownsFd_) close(fd_);
    if (targetFd_ >= 0 && ownsTargetFd_) close(targetFd_);
    fd_ = targetFd_ = -1;
    ownsFd_ = ownsTargetFd_ = false;
    used_ = 0;
}

bool OutputFile::open(const std::string &name, OutputOptions options)
{
    if (isOpen()) discard();
    watchProcessExit();
    exceptionsAtOpen_ = std::uncaught_exceptions();
    failure_ = {};
    finished_ = false;
    options_ = options;
    name_ = name;
    target_.clear();
    owner_ = (uid_t)-1;
    group_ = (gid_t)-1;
    if (name.empty()) return refuse(OutputStep::open, ENOENT);
    // A name that ends in a slash names a folder, existing or not.
    if (name.back() == '/') return refuse(OutputStep::open, EISDIR);

    std::string at = name;
    for (int links = 0; links <= maxLinks; links++) {
        const int n = descriptorNamed(at);
        if (n >= 0) {
            target_ = name;
            return openDescriptor(n);
        }
        struct stat st;
        if (lstat(at.c_str(), &st) != 0) {
            if (errno != ENOENT) return refuse(OutputStep::open, errno);
            // No file yet (a dangling link names the file to make).
            target_ = at;
            if (!openBeside(nullptr)) return refuse(OutputStep::open, errno, directoryOf(target_));
            return true;
        }
        if (S_ISLNK(st.st_mode)) {
            // A link under /proc that names no descriptor of this process (one
            // of another process's) leads to an open file, not to a name.
            if (onProc(directoryOf(at))) {
                target_ = at;
                return openDirect();
            }
            // A link can change between the lstat and the readlink: a
            // buffer filled to its end may hold only part of it.
            std::string link(st.st_size > 0 ? (size_t)st.st_size + 1 : (size_t)PATH_MAX, '\0');
            ssize_t length;
            while ((length = readlink(at.c_str(), link.data(), link.size())) == (ssize_t)link.size())
                link.resize(2 * link.size());
            if (length < 0) return refuse(OutputStep::open, errno);
            link.resize((size_t)length);
            at = !link.empty() && link[0] == '/' ? link : directoryOf(at) + "/" + link;
            continue;
        }
        target_ = at;
        if (S_ISDIR(st.st_mode)) return refuse(OutputStep::open, EISDIR);
        // A file of /proc is a way into the kernel, not bytes on a disk, and
        // no file can be made beside it.
        if (!S_ISREG(st.st_mode) || onProc(directoryOf(at))) return openDirect();
        // The rename needs only the folder's leave: ask the file's own, as
        // writing it would, and hold it open for a copy into it.
        targetFd_ = ::open(at.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (targetFd_ < 0) return refuse(OutputStep::open, errno);
        ownsTargetFd_ = true;
        if (openBeside(&st)) return true;
        const int besideError = errno;
        if (!folderRefuses(besideError)) return refuse(OutputStep::open, besideError, directoryOf(target_));
        return openInPlace(besideError);
    }
    return refuse(OutputStep::open, ELOOP);
}

bool OutputFile::openBeside(const struct stat *existing)
{
    const int fd = temporary_.create(temporaryPattern(directoryOf(target_), nameOf(target_)));
    if (fd < 0) return false;
    fd_ = fd;
    ownsFd_ = true;
    if (existing) {
        mode_ = existing->st_mode & 07777;
        if (existing->st_uid != geteuid() || existing->st_gid != getegid()) {
            owner_ = existing->st_uid;
            group_ = existing->st_gid;
        }
        kind_ = OutputKind::replacing;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode_ = 0666 & ~mask;
        kind_ = OutputKind::creating;
    }
    ended_ = false;
    return true;
}

bool OutputFile::openUnderTmpdir()
{
    const char *tmpdir = std::getenv("TMPDIR");
    const std::string folder = tmpdir && *tmpdir ? tmpdir : "/tmp";
    if (!options_.filledByName) {
        // Unnamed, so that not even a kill can leave it behind.
        fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            ownsFd_ = true;
            return true;
        }
    }
    fd_ = temporary_.create(temporaryPattern(folder, nameOf(target_)));
    ownsFd_ = fd_ >= 0;
    return fd_ >= 0;
}

bool OutputFile::openInPlace(int besideError)
{
    if (!openUnderTmpdir()) return refuse(OutputStep::open, besideError, directoryOf(target_));
    kind_ = OutputKind::inPlace;
    ended_ = false;
    return true;
}

bool OutputFile::openDescriptor(int n)
{
    const int flags = fcntl(n, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) return refuse(OutputStep::open, EBADF);
    struct stat st;
    if (fstat(n, &st) != 0) return refuse(OutputStep::open, errno);
    cutAtEnd_ = S_ISREG(st.st_mode) && !(flags & O_APPEND);
    syncable_ = S_ISREG(st.st_mode);
    // What the program printed on that stream before goes first.
    if (n == STDOUT_FILENO) fflush(stdout);
    if (n == STDERR_FILENO) fflush(stderr);
    if (options_.filledByName) {
        targetFd_ = n;
        if (!openUnderTmpdir()) return refuse(OutputStep::open, errno);
    } else {
        fd_ = n;
    }
    kind_ = OutputKind::descriptor;
    ended_ = false;
    return true;
}

bool OutputFile::openDirect()
{
    struct stat st;
    if (stat(target_.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return refuse(OutputStep::open, EISDIR);
    // Without O_TRUNC: a regular file reached this way (through another
    // process's descriptor) is written in place once the output is whole.
    const int fd = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return refuse(OutputStep::open, errno);
    struct statfs fs;
    const bool ofProc = fstatfs(fd, &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !ofProc) {
        targetFd_ = fd;
        ownsTargetFd_ = true;
        return openInPlace(EACCES);
    }
    cutAtEnd_ = syncable_ = false;
    if (options_.filledByName) {
        targetFd_ = fd;
        ownsTargetFd_ = true;
        if (!openUnderTmpdir()) return refuse(OutputStep::open, errno);
    } else {
        fd_ = fd;
        ownsFd_ = true;
    }
    kind_ = OutputKind::direct;
    ended_ = false;
    return true;
}

bool OutputFile::writeThrough(const char *data, size_t size)
{
    if (failure_) return false;
    if (!writeAll(fd_, data, size)) return fail(OutputStep::write, errno);
    return true;
}

bool OutputFile::flushBuffer()
{
    const size_t used = used_;
    used_ = 0;
    return used == 0 || writeThrough(buffer_, used);
}

bool OutputFile::write(const void *data, size_t size)
{
    if (failure_) return false;
    if (!isOpen() || finished_ || options_.filledByName) return fail(OutputStep::write, EBADF);
    // Bytes given to the stream before these go first.
    if (stream_ && fflush(stream_) != 0) return fail(OutputStep::write, errno);
    if (!buffer_ && !(buffer_ = (char *)std::malloc(bufferBytes)))
        return writeThrough((const char *)data, size);
    if (size <= bufferBytes - used_) {
        std::memcpy(buffer_ + used_, data, size);
        used_ += size;
        return true;
    }
    if (!flushBuffer()) return false;
    if (size >= bufferBytes / 2) return writeThrough((const char *)data, size);
    std::memcpy(buffer_, data, size);
    used_ = size;
    return true;
}

ssize_t OutputFile::streamWrite(void *cookie, const char *data, size_t size)
{
    OutputFile *self = (OutputFile *)cookie;
    if (self->discarding_) return (ssize_t)size;
    return self->flushBuffer() && self->writeThrough(data, size) ? (ssize_t)size : -1;
}

FILE *OutputFile::stream()
{
    if (stream_ || !isOpen() || finished_ || options_.filledByName) return stream_;
    cookie_io_functions_t io{};
    io.write = streamWrite;
    stream_ = fopencookie(this, "w", io);
    if (!stream_) {
        fail(OutputStep::write, errno ? errno : ENOMEM);
        return nullptr;
    }
    // The stream's own buffer is the output's: it goes out in blocks of this
    // size, straight to the file.
    setvbuf(stream_, nullptr, _IOFBF, bufferBytes);
    return stream_;
}

bool OutputFile::reopenFilled()
{
    const int fd = ::open(temporary_.path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return fail(OutputStep::finish, errno);
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return fail(OutputStep::finish, EINVAL);
    }
    if (fd_ >= 0 && ownsFd_) close(fd_);
    fd_ = fd;
    ownsFd_ = true;
    return true;
}

bool OutputFile::finish()
{
    if (!isOpen()) return fail(OutputStep::finish, EBADF);
    if (finished_) return true;
    if (stream_) {
        FILE *s = stream_;
        stream_ = nullptr;
        const bool flushed = fflush(s) == 0 && !ferror(s);
        const int error = errno;
        fclose(s);
        if (!flushed) fail(OutputStep::write, error ? error : EIO);
    }
    if (!failure_) flushBuffer();
    if (!failure_ && options_.filledByName) reopenFilled();
    const bool beside = kind_ == OutputKind::replacing || kind_ == OutputKind::creating;
    if (!failure_ && beside) {
        if (options_.durable && fsync(fd_) != 0) fail(OutputStep::finish, errno);
        // The owner first: giving a file away clears its set-id bits. Where it
        // may not be given away, the file keeps at least the old group.
        if (owner_ != (uid_t)-1 && fchown(fd_, owner_, group_) != 0) (void)!fchown(fd_, (uid_t)-1, group_);
        if (!failure_ && fchmod(fd_, mode_) != 0) fail(OutputStep::finish, errno);
    }
    if (!failure_ && kind_ == OutputKind::descriptor && !options_.filledByName) finishDescriptor(fd_);
    // Closed last, checked: some file systems report a lost write only here.
    const bool closes = beside || (kind_ == OutputKind::direct && !options_.filledByName);
    if (closes && fd_ >= 0) {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0) fail(OutputStep::finish, errno);
    }
    if (failure_) {
        discard();
        return false;
    }
    finished_ = true;
    return true;
}

void OutputFile::finishDescriptor(int fd)
{
    if (cutAtEnd_) {
        const off_t end = lseek(fd, 0, SEEK_CUR);
        if (end < 0 || ftruncate(fd, end) != 0) fail(OutputStep::finish, errno);
    }
    if (!failure_ && options_.durable && syncable_ && fsync(fd) != 0) fail(OutputStep::finish, errno);
}

bool OutputFile::copyToTarget(bool fromStart)
{
    char *block = buffer_ ? buffer_ : (buffer_ = (char *)std::malloc(bufferBytes));
    if (!block) return fail(OutputStep::place, ENOMEM);
    off_t from = 0, to = 0;
    for (;;) {
        const ssize_t n = pread(fd_, block, bufferBytes, from);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(OutputStep::place, errno);
        if (n == 0) break;
        if (!writeAll(targetFd_, block, (size_t)n, fromStart ? to : -1))
            return fail(OutputStep::place, errno);
        from += n;
        to += n;
    }
    if (fromStart && ftruncate(targetFd_, to) != 0) return fail(OutputStep::place, errno);
    return true;
}

bool OutputFile::placeBeside()
{
    int error;
    {
        EndingSignalsHeld held;
        if (rename(temporary_.path().c_str(), target_.c_str()) == 0) {
            temporary_.release();
            return true;
        }
        error = errno;
    }
    // A sticky folder lets no one but the owner replace a file, which this
    // process may still write: it is written in place.
    if ((error == EPERM || error == EACCES) && targetFd_ >= 0) {
        fd_ = ::open(temporary_.path().c_str(), O_RDONLY | O_CLOEXEC);
        ownsFd_ = fd_ >= 0;
        if (fd_ >= 0) return placeInPlace();
    }
    return fail(OutputStep::place, error);
}

bool OutputFile::placeInPlace()
{
    if (!copyToTarget(true)) return false;
    if (options_.durable && fsync(targetFd_) != 0) return fail(OutputStep::place, errno);
    const int fd = targetFd_;
    targetFd_ = -1;
    ownsTargetFd_ = false;
    return close(fd) == 0 || fail(OutputStep::place, errno);
}

bool OutputFile::keep()
{
    if (!finish()) return false;
    bool placed = true;
    switch (kind_) {
    case OutputKind::replacing:
    case OutputKind::creating: placed = placeBeside(); break;
    case OutputKind::inPlace: placed = placeInPlace(); break;
    case OutputKind::descriptor:
        if (options_.filledByName && copyToTarget(false)) finishDescriptor(targetFd_);
        placed = !failure_;
        break;
    case OutputKind::direct:
        if (options_.filledByName && copyToTarget(false)) {
            const int fd = targetFd_;
            targetFd_ = -1;
            ownsTargetFd_ = false;
            if (close(fd) != 0) fail(OutputStep::place, errno);
        }
        placed = !failure_;
        break;
    case OutputKind::none: break;
    }
    closeAll();
    temporary_.remove();
    kind_ = OutputKind::none;
    finished_ = false;
    ended_ = true;
    return placed;
}

void OutputFile::discard()
{
    ended_ = true;
    if (!isOpen()) return;
    closeAll();
    temporary_.remove();
    kind_ = OutputKind::none;
    finished_ = false;
}

bool copyFileInto(const std::string &source, OutputFile &out, int &readError)
{
    readError = 0;
    InputFile in;
    if (!in.open(source)) {
        readError = in.failure().error;
        return false;
    }
    char block[1 << 16];
    for (;;) {
        const size_t got = in.readSome(block, sizeof block);
        if (got == 0) break;
        if (!out.write(block, got)) return false;
    }
    readError = in.failure().error;
    return !in.failed();
}

int finishStream(FILE *stream)
{
    // A write that failed on the way left errno saying why, unless something
    // since has changed it; the flush sets it for a failure it meets itself.
    if (fflush(stream) == 0 && !ferror(stream)) return 0;
    return errno ? errno : EIO;
}

}  // namespace support
