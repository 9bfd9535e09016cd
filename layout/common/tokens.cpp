#include "tokens.h"

namespace layout {

bool isLayoutSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void skipRestOfLine(TokenStream &in)
{
    size_t nl = in.text.find('\n', in.pos);
    in.pos = nl == std::string_view::npos ? in.text.size() : nl + 1;
}

bool getToken(TokenStream &in, std::string &token)
{
    std::string_view t = in.text;
    for (;;) {
        while (in.pos < t.size() && isLayoutSpace(t[in.pos])) ++in.pos;
        if (in.pos >= t.size()) return false;
        if (t[in.pos] == '/' && in.pos + 1 < t.size() && t[in.pos + 1] == '/') {
            skipRestOfLine(in);
            continue;
        }
        break;
    }
    if (t[in.pos] == '"') {
        size_t start = in.pos + 1;
        size_t close = t.find('"', start);
        if (close == std::string_view::npos) close = t.size();
        token.assign(t.substr(start, close - start));
        in.pos = close < t.size() ? close + 1 : close;
        return true;
    }
    // A slash followed by any character other than a slash is an ordinary
    // token start; the character after it belongs to the token whatever it is
    // (a lone slash before white space is the token "/").
    size_t start = in.pos;
    if (t[in.pos] == '/' && in.pos + 1 < t.size() && !isLayoutSpace(t[in.pos + 1]))
        in.pos += 2;
    else
        ++in.pos;
    while (in.pos < t.size() && !isLayoutSpace(t[in.pos])) ++in.pos;
    token.assign(t.substr(start, in.pos - start));
    if (in.pos < t.size()) ++in.pos;  // the white space that ended the token
    return true;
}

bool getWord(TokenStream &in, std::string &word)
{
    std::string_view t = in.text;
    while (in.pos < t.size() && isLayoutSpace(t[in.pos])) ++in.pos;
    if (in.pos >= t.size()) return false;
    size_t start = in.pos;
    while (in.pos < t.size() && !isLayoutSpace(t[in.pos])) ++in.pos;
    word.assign(t.substr(start, in.pos - start));
    return true;
}

}  // namespace layout
