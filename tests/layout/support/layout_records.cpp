#include "layout_records.h"

#include <sstream>

namespace layout_test {

std::vector<Record> parseRecords(const std::string &text)
{
    std::vector<Record> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 2 || line.substr(line.size() - 2) != " {") continue;
        Record r;
        r.name = line.substr(0, line.size() - 2);
        if (r.name.size() >= 2 && r.name.front() == '"') r.name = r.name.substr(1, r.name.size() - 2);
        std::string key, eq;
        for (double *v : {&r.x, &r.y, &r.width, &r.height}) in >> key >> eq >> *v;
        out.push_back(r);
    }
    return out;
}

std::string record(const std::string &name, const char *x, const char *y, const char *width,
                   const char *height)
{
    return name + " {\n      x = " + x + "\n      y = " + y + "\n  width = " + width +
           "\n height = " + height + "\n}\n\n\n";
}

}  // namespace layout_test
