#include "file_buffers.h"

#include <sys/stat.h>

#include <cstring>
#include <ostream>

namespace pipeline {

bool InputBuffer::open(const std::string &name)
{
    if (name.empty() || open_ || !file_.open(name)) return false;
    // The directory stays open, unread, until the buffer goes.
    struct stat status;
    if (fstat(file_.descriptor(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
    open_ = true;
    return true;
}

void InputBuffer::readStandardInput()
{
    if (open_) return;
    file_.useStandardInput();
    open_ = true;
}

InputBuffer::int_type InputBuffer::underflow()
{
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (!open_) return traits_type::eof();
    // What one read gives, so that a name typed on a terminal is taken
    // without waiting for more.
    const size_t got = file_.readSome(buffer_, sizeof buffer_);
    if (got == 0) return traits_type::eof();
    setg(buffer_, buffer_, buffer_ + got);
    return traits_type::to_int_type(*gptr());
}

bool OutputBuffer::handOn()
{
    const size_t size = static_cast<size_t>(pptr() - pbase());
    setp(buffer_, buffer_ + sizeof buffer_);
    return file_.write(buffer_, size);
}

bool OutputBuffer::keep()
{
    handOn();
    return file_.keep();
}

OutputBuffer::int_type OutputBuffer::overflow(int_type c)
{
    if (!handOn()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

std::streamsize OutputBuffer::xsputn(const char *data, std::streamsize size)
{
    const size_t count = static_cast<size_t>(size);
    if (count > static_cast<size_t>(epptr() - pptr())) {
        if (!handOn()) return 0;
        // A block as large as the buffer goes straight on.
        if (count >= sizeof buffer_) return file_.write(data, count) ? size : 0;
    }
    std::memcpy(pptr(), data, count);
    pbump(static_cast<int>(count));
    return size;
}

int OutputBuffer::sync()
{
    return handOn() ? 0 : -1;
}

void sayWhichFolderRefused(const std::string &program, const support::OutputFile &file,
                           std::ostream &messages)
{
    const std::string folder = file.failure().folderReason();
    if (!folder.empty()) messages << "***Error [" << program << "]: " << folder << '\n';
}

}  // namespace pipeline
