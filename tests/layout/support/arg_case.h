// A row of a command-line error table: the arguments after the program name
// and the message the usage text follows.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace layout_test {

struct ArgCase {
    const char *name;
    std::vector<std::string> args;
    std::string message;
};

inline void PrintTo(const ArgCase &c, std::ostream *os)
{
    *os << c.name;
}

}  // namespace layout_test
