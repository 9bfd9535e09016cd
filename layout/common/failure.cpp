#include "failure.h"

#include <cstdarg>
#include <cstdio>

namespace layout {

std::string format(const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    int len = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out;
    if (len > 0) {
        out.resize(static_cast<size_t>(len) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, again);
        out.resize(static_cast<size_t>(len));
    }
    va_end(again);
    return out;
}

}  // namespace layout
