#include "gd/text_out.h"

namespace {

// The digits of v, written backwards from `end`; returns where they start.
char *decimal_digits(uint64_t v, char *end)
{
    static const char pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    while (v >= 100) {
        const unsigned two = (unsigned)(v % 100) * 2;
        v /= 100;
        *--end = pairs[two + 1];
        *--end = pairs[two];
    }
    if (v >= 10) {
        *--end = pairs[v * 2 + 1];
        *--end = pairs[v * 2];
    } else {
        *--end = (char)('0' + v);
    }
    return end;
}

}  // namespace

void text_put_uint(gd_text_out &o, uint64_t v)
{
    char digits[24];
    char *end = digits + sizeof digits;
    char *start = decimal_digits(v, end);
    text_put(o, std::string_view(start, (size_t)(end - start)));
}

void text_put_int(gd_text_out &o, int64_t v)
{
    char digits[24];
    char *end = digits + sizeof digits;
    // The magnitude in unsigned arithmetic: -INT64_MIN does not fit.
    char *start = decimal_digits(v < 0 ? 0 - (uint64_t)v : (uint64_t)v, end);
    if (v < 0) *--start = '-';
    text_put(o, std::string_view(start, (size_t)(end - start)));
}

void text_put_hex(gd_text_out &o, uint64_t v)
{
    char digits[20];
    char *end = digits + sizeof digits, *start = end;
    do {
        *--start = "0123456789abcdef"[v & 15];
        v >>= 4;
    } while (v);
    text_put(o, std::string_view(start, (size_t)(end - start)));
}
