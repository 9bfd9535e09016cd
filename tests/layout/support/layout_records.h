// Reading a layout file back in the tests: the records in file order, and
// one record written out by hand.
#pragma once

#include <string>
#include <vector>

namespace layout_test {

struct Record {
    std::string name;
    double x = 0, y = 0, width = 0, height = 0;
};

// The records of a layout file as written (names unquoted).
std::vector<Record> parseRecords(const std::string &text);

// One record with the numbers given as text, as the file shows them.
std::string record(const std::string &name, const char *x, const char *y, const char *width,
                   const char *height);

}  // namespace layout_test
