// A fresh temporary directory for one test, removed with everything in it
// when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

struct temp_dir {
    std::filesystem::path path;

    temp_dir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "gdfilters-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~temp_dir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    temp_dir(const temp_dir &) = delete;
    temp_dir &operator=(const temp_dir &) = delete;

    std::string file(const char *name) const { return (path / name).string(); }
};

inline std::string read_file(const std::string &name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
