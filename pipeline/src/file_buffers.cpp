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

OutputBuffer::OutputBuffer(support::OutputFile &file) : file_(file), block_(new char[blockBytes])
{
    setp(block_.get(), block_.get() + blockBytes);
}

bool OutputBuffer::handOn()
{
    const size_t size = static_cast<size_t>(pptr() - pbase());
    setp(block_.get(), block_.get() + blockBytes);
    return size == 0 || file_.write(block_.get(), size);
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
    // Most pieces fit; this path stays short.
    const size_t count = static_cast<size_t>(size);
    if (count > static_cast<size_t>(epptr() - pptr())) return putAcrossBlocks(data, size);
    std::memcpy(pptr(), data, count);
    pbump(static_cast<int>(count));
    return size;
}

// Fills the block to its end before it is handed on, so that every block
// but the last is whole.
std::streamsize OutputBuffer::putAcrossBlocks(const char *data, std::streamsize size)
{
    size_t left = static_cast<size_t>(size);
    while (left > 0) {
        if (pptr() == epptr() && !handOn()) return size - static_cast<std::streamsize>(left);
        const size_t room = static_cast<size_t>(epptr() - pptr());
        const size_t n = left < room ? left : room;
        std::memcpy(pptr(), data, n);
        pbump(static_cast<int>(n));
        data += n;
        left -= n;
    }
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
