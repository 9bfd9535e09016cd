// How a name or a value is written into a TA file so that the parser reads
// the same text back.
#pragma once

#include <cstdio>

// True for the characters that end a word: blanks, TAB, LF, CR and the
// single-character tokens "=", "(", ")", "{" and "}".
bool endsWord(int c);
// True when text, written bare, is read back as an ordinary word with the
// same text.
bool readsBackAsWord(const char *text);
// True when text, written between double quotes, is read back unchanged
// (strings keep their backslash escapes, so only an unescaped quote or a
// trailing lone backslash spoils it).
bool readsBackQuoted(const char *text);

// A name: bare when it reads back as the same word, else quoted.
void putName(FILE *stream, const char *text);
// A value: quoted, as values are always written, unless only the bare word
// reads back unchanged.
void putValue(FILE *stream, const char *text);
