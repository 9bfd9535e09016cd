#include "support/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace support {

InputFile::~InputFile()
{
    if (fd_ >= 0 && ownsFd_) close(fd_);
}

bool InputFile::open(const std::string &name)
{
    if (fd_ >= 0 && ownsFd_) close(fd_);
    fd_ = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    ownsFd_ = fd_ >= 0;
    atEnd_ = false;
    failure_ = {};
    size_ = UINT64_MAX;
    if (fd_ < 0) {
        failure_ = {InputStep::open, errno};
        return false;
    }
    struct stat st;
    if (fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) size_ = (uint64_t)st.st_size;
    return true;
}

void InputFile::useStandardInput()
{
    if (fd_ >= 0 && ownsFd_) close(fd_);
    fd_ = STDIN_FILENO;
    ownsFd_ = false;
    atEnd_ = false;
    failure_ = {};
    // Read from where the descriptor stands, so its size says nothing.
    size_ = UINT64_MAX;
}

size_t InputFile::readSome(void *to, size_t size)
{
    if (fd_ < 0 || atEnd_ || failure_ || size == 0) return 0;
    // One call takes at most 1 GiB.
    const size_t ask = size < ((size_t)1 << 30) ? size : (size_t)1 << 30;
    for (;;) {
        const ssize_t n = ::read(fd_, to, ask);
        if (n > 0) return (size_t)n;
        if (n == 0) {
            atEnd_ = true;
            return 0;
        }
        if (errno == EINTR) continue;
        failure_ = {InputStep::read, errno};
        return 0;
    }
}

bool InputFile::rewind()
{
    if (fd_ < 0 || failure_) return false;
    if (lseek(fd_, 0, SEEK_SET) != 0) {
        failure_ = {InputStep::read, errno};
        return false;
    }
    atEnd_ = false;
    return true;
}

size_t InputFile::read(void *to, size_t size)
{
    size_t got = 0;
    while (got < size) {
        const size_t n = readSome((char *)to + got, size - got);
        if (n == 0) break;
        got += n;
    }
    return got;
}

bool readRest(InputFile &in, std::string &text)
{
    // Room for the whole file where its size is known. The bytes come through
    // a small block that stays in the cache: read straight into the string,
    // which would first have to be filled with zeros, they cost a pass more.
    if (in.size() != UINT64_MAX && in.size() < SIZE_MAX - text.size() - 1)
        text.reserve(text.size() + (size_t)in.size() + 1);
    char block[1 << 16];
    for (;;) {
        const size_t got = in.readSome(block, sizeof block);
        if (got == 0) return !in.failed();
        text.append(block, got);
    }
}

bool readWholeFile(const std::string &name, std::string &text, InputFailure &why)
{
    text.clear();
    InputFile in;
    bool ok = in.open(name) && readRest(in, text);
    why = in.failure();
    return ok;
}

}  // namespace support
