#pragma once
// White-space token input, used for pipeline files, RSF fact files and file
// names typed on standard input, and whole-line input for number.

#include <streambuf>
#include <string>

namespace pipeline {

// A character source read one character at a time, so that a token typed
// on a terminal is complete without waiting for the end of input.
struct TokenInput {
    std::streambuf *source;
};

// Blank, tab, newline and form feed; a carriage return is no white space.
bool isTokenSpace(int c);

// Skips white space; false when only white space remained.
bool skipWhiteSpace(TokenInput &in);

// Reads the next token, after skipping white space. A token beginning with
// a double quote runs to the next double quote, with backslash and caret
// escapes; any other token runs up to white space or the end of input.
// At the end of input the token is empty.
std::string readToken(TokenInput &in);

// True when no character is left.
bool atEnd(TokenInput &in);

// Reads everything up to the next newline, without it. False (and nothing
// read) at the end of input; a last line without a newline is a line too.
bool readLine(TokenInput &in, std::string &line);

}  // namespace pipeline
