#include "names.h"

#include <array>

namespace pipeline {

namespace {

// Removed in this order by delsuffixes, so "a.unique.ta" loses both and
// "a.ta.unique" keeps ".ta".
constexpr std::array<std::string_view, 5> suffixes = {".ta", ".addschema", ".layout", ".unique", ".rawline"};

}  // namespace

bool hasSuffix(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool hasProperSuffix(std::string_view s, std::string_view suffix)
{
    return s.size() > suffix.size() && hasSuffix(s, suffix);
}

std::string delsuffix(std::string_view s, std::string_view suffix)
{
    if (hasSuffix(s, suffix)) s.remove_suffix(suffix.size());
    return std::string(s);
}

std::string delsuffixes(std::string_view s)
{
    std::string result(s);
    for (std::string_view suffix : suffixes) result = delsuffix(result, suffix);
    return result;
}

std::string tmpFileName(std::string_view prefix, int number, std::string_view stageName)
{
    std::string digits = "0" + std::to_string(number);
    std::string name(prefix);
    name += ".tmp.";
    name += digits.substr(digits.size() - 2);
    name += '.';
    name += stageName;
    name += ".ta";
    return name;
}

}  // namespace pipeline
