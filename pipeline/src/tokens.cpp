#include "tokens.hpp"

namespace pipeline {

namespace {

constexpr int endOfInput = std::char_traits<char>::eof();
constexpr int tokenEnds = -1;

int next(TokenInput& in) { return in.source->sbumpc(); }
int peek(TokenInput& in) { return in.source->sgetc(); }

// The character that a backslash and c stand for inside a quoted token, or
// tokenEnds when the pair ends the token ("\0", an unknown escape).
int backslashEscape(int c) {
  switch (c) {
    case '"': case '\'': case '\\': case '^': return c;
    case 'b': case 'B': case 'd': case 'D': return 8;
    case 'e': case 'E': return 27;
    case 'f': case 'F': return 12;
    case 'n': case 'N': return '\n';
    case 'r': case 'R': return 13;
    case 't': case 'T': return '\t';
    default: return tokenEnds;
  }
}

// The control character that a caret and c stand for, or tokenEnds when it
// would be code 0. A caret and "?" stand for backspace.
int caretEscape(int c) {
  if (c == '?') return 8;
  int code = c & 31;
  return code == 0 ? tokenEnds : code;
}

std::string readQuotedToken(TokenInput& in) {
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

bool isTokenSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f';
}

bool skipWhiteSpace(TokenInput& in) {
  int c = peek(in);
  while (c != endOfInput && isTokenSpace(c)) {
    next(in);
    c = peek(in);
  }
  return c != endOfInput;
}

std::string readToken(TokenInput& in) {
  if (!skipWhiteSpace(in)) return {};
  if (peek(in) == '"') return readQuotedToken(in);
  std::string token;
  for (int c = peek(in); c != endOfInput && !isTokenSpace(c); c = peek(in)) {
    token.push_back(static_cast<char>(c));
    next(in);
  }
  return token;
}

bool atEnd(TokenInput& in) { return peek(in) == endOfInput; }

bool readLine(TokenInput& in, std::string& line) {
  line.clear();
  if (atEnd(in)) return false;
  for (int c = next(in); c != endOfInput && c != '\n'; c = next(in)) {
    line.push_back(static_cast<char>(c));
  }
  return true;
}

}  // namespace pipeline
