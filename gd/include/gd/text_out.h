// Text for a stream, gathered in a buffer that goes out in large writes: the
// documents and dumps of a large graph run to hundreds of megabytes of short
// pieces, where a formatted print per piece costs more than the work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>

struct gd_text_out {
    FILE *file;
    size_t used = 0;
    char bytes[1 << 16];

    explicit gd_text_out(FILE *f) : file(f) {}
    // Whatever is still gathered goes out.
    ~gd_text_out();
    gd_text_out(const gd_text_out &) = delete;
    gd_text_out &operator=(const gd_text_out &) = delete;
};

// Hands the gathered bytes to the stream (with fwrite; the stream's own
// buffer and error state work as ever). The stream is not flushed.
inline void text_drain(gd_text_out &o)
{
    if (o.used) fwrite(o.bytes, 1, o.used, o.file);
    o.used = 0;
}

inline gd_text_out::~gd_text_out()
{
    text_drain(*this);
}

inline void text_put(gd_text_out &o, std::string_view s)
{
    if (s.size() > sizeof o.bytes - o.used) {
        text_drain(o);
        if (s.size() > sizeof o.bytes) {
            fwrite(s.data(), 1, s.size(), o.file);
            return;
        }
    }
    memcpy(o.bytes + o.used, s.data(), s.size());
    o.used += s.size();
}

inline void text_put(gd_text_out &o, char c)
{
    if (o.used == sizeof o.bytes) text_drain(o);
    o.bytes[o.used++] = c;
}

// A number in decimal, as printf's %lld and %llu write it.
void text_put_int(gd_text_out &o, int64_t v);
void text_put_uint(gd_text_out &o, uint64_t v);
// A number in lower-case hexadecimal without a prefix, as printf's %llx.
void text_put_hex(gd_text_out &o, uint64_t v);
