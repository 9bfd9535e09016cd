#include "layout_test_support.h"

namespace layout_test {

CapturedStream::CapturedStream() : file(std::tmpfile()) {}

CapturedStream::~CapturedStream()
{
    if (file) std::fclose(file);
}

std::string CapturedStream::text()
{
    std::fflush(file);
    long size = std::ftell(file);
    std::string out(static_cast<size_t>(size), '\0');
    std::rewind(file);
    size_t got = std::fread(out.data(), 1, out.size(), file);
    out.resize(got);
    std::fseek(file, 0, SEEK_END);
    return out;
}

}  // namespace layout_test
