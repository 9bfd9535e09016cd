#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pipeline {

InputFile::~InputFile()
{
    if (descriptor_ >= 0 && ownsDescriptor_) close(descriptor_);
}

void InputFile::readStandardInput()
{
    if (descriptor_ >= 0) return;
    descriptor_ = STDIN_FILENO;
    ownsDescriptor_ = false;
}

bool InputFile::open(const std::string &name)
{
    if (name.empty() || descriptor_ >= 0) return false;
    int descriptor = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    struct stat status;
    if (fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    return true;
}

InputFile::int_type InputFile::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (descriptor_ < 0 || readFailed_) return traits_type::eof();
    ssize_t got;
    do {
        got = read(descriptor_, buffer_, sizeof buffer_);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        readFailed_ = got < 0;
        return traits_type::eof();
    }
    setg(buffer_, buffer_, buffer_ + got);
    return traits_type::to_int_type(*gptr());
}

}  // namespace pipeline
