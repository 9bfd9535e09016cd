#include "tokens.h"

namespace pipeline {

namespace {

constexpr int endOfInput = std::char_traits<char>::eof();
constexpr int tokenEnds = -1;

int next(TokenInput &in)
{
    return in.source->sbumpc();
}
int peek(TokenInput &in)
{
    return in.source->sgetc();
}

// What a backslash and a letter stand for inside a quoted token; any other
// letter ends the token.
struct Escape {
    char letter;
    char code;
};
constexpr Escape backslashEscapes[] = {{'"', '"'}, {'\'', '\''}, {'\\', '\\'}, {'^', '^'},  {'b', 8},
                                       {'B', 8},   {'d', 8},     {'D', 8},     {'e', 27},   {'E', 27},
                                       {'f', 12},  {'F', 12},    {'n', '\n'},  {'N', '\n'}, {'r', 13},
                                       {'R', 13},  {'t', '\t'},  {'T', '\t'}};

int backslashEscape(int c)
{
    for (const Escape &escape : backslashEscapes) {
        if (escape.letter == c) return escape.code;
    }
    return tokenEnds;
}

// The control character that a caret and c stand for, or tokenEnds when it
// would be code 0. A caret and "?" stand for backspace.
int caretEscape(int c)
{
    if (c == '?') return 8;
    int code = c & 31;
    return code == 0 ? tokenEnds : code;
}

std::string readQuotedToken(TokenInput &in)
{
    std::string token;
    next(in);  // the opening quote
    for (;;) {
        int c = next(in);
        if (c == endOfInput || c == '"' || c == '\n') return token;
        if (c == '\\' || c == '^') {
            int after = next(in);
            if (after == endOfInput) return token;
            int code = c == '\\' ? backslashEscape(after) : caretEscape(after);
            if (code == tokenEnds) return token;
            c = code;
        }
        token.push_back(static_cast<char>(c));
    }
}

}  // namespace

bool isTokenSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f';
}

bool skipWhiteSpace(TokenInput &in)
{
    int c = peek(in);
    while (c != endOfInput && isTokenSpace(c)) {
        next(in);
        c = peek(in);
    }
    return c != endOfInput;
}

std::string readToken(TokenInput &in)
{
    if (!skipWhiteSpace(in)) return {};
    if (peek(in) == '"') return readQuotedToken(in);
    std::string token;
    for (int c = peek(in); c != endOfInput && !isTokenSpace(c); c = peek(in)) {
        token.push_back(static_cast<char>(c));
        next(in);
    }
    return token;
}

bool atEnd(TokenInput &in)
{
    return peek(in) == endOfInput;
}

bool readLine(TokenInput &in, std::string &line)
{
    line.clear();
    if (atEnd(in)) return false;
    for (int c = next(in); c != endOfInput && c != '\n'; c = next(in)) {
        line.push_back(static_cast<char>(c));
    }
    return true;
}

}  // namespace pipeline
