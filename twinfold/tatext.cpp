#include "tatext.h"

#include <cstring>
#include <strings.h>

namespace {

void putQuoted(FILE *stream, const char *text)
{
    std::putc('"', stream);
    std::fputs(text, stream);
    std::putc('"', stream);
}

}  // namespace

bool endsWord(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '=' || c == '(' || c == ')' || c == '{' ||
           c == '}';
}

bool readsBackAsWord(const char *text)
{
    if (text == nullptr || text[0] == '\0' || text[0] == '"') return false;
    if (text[0] == '/' && text[1] == '/') return false;
    // A bare ":" in third place would make a section header.
    if (std::strcmp(text, ":") == 0) return false;
    // "$INSTANCE" is the keyword and any other "$" word but "$ROOT" is refused.
    if (text[0] == '$' && strcasecmp(text, "$ROOT") != 0) return false;
    for (const char *p = text; *p; ++p)
        if (endsWord(*p)) return false;
    return true;
}

bool readsBackQuoted(const char *text)
{
    if (text == nullptr) return false;
    for (const char *p = text; *p; ++p) {
        if (*p == '"') return false;
        if (*p == '\\') {
            if (p[1] == '\0') return false;
            ++p;
        }
    }
    return true;
}

void putName(FILE *stream, const char *text)
{
    if (readsBackAsWord(text))
        std::fputs(text, stream);
    else
        putQuoted(stream, text ? text : "");
}

void putValue(FILE *stream, const char *text)
{
    if (!readsBackQuoted(text) && readsBackAsWord(text))
        std::fputs(text, stream);
    else
        putQuoted(stream, text ? text : "");
}
