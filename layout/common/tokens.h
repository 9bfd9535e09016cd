// The token reader shared by the TA tuple reader and the layout-file reader.
// It sees the input as a stream of characters: white space separates tokens,
// "//" where a token would begin starts a comment to the end of the line, and a
// token that begins with a double quote runs to the next double quote.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace layout {

struct TokenStream {
    std::string_view text;
    size_t pos = 0;
};

bool isLayoutSpace(char c);

// Reads the next token into `token`; false when the input ends first (then
// `token` is left as it was).  A token cut by the end of the input is whole.
bool getToken(TokenStream &in, std::string &token);

// Discards characters up to and including the next newline.
void skipRestOfLine(TokenStream &in);

// Reads the next white-space separated word, without comment or quote rules.
bool getWord(TokenStream &in, std::string &word);

}  // namespace layout
