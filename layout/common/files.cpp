#include "files.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace layout {

MaybeFailure readInputFile(const std::string &path, std::string &text)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    struct stat st {};
    if (f && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        f = nullptr;
    }
    if (!f) return fail(format("\nCould not open file : %s for read.", path.c_str()));
    text.clear();
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok) return fail(format("\nCould not read file : %s\n", path.c_str()));
    return std::nullopt;
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    bool hasA = stat(a.c_str(), &sa) == 0;
    bool hasB = stat(b.c_str(), &sb) == 0;
    if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA != hasB) return false;
    // Neither exists yet: the same file once created when the names resolve
    // to the same path.
    std::error_code ea, eb;
    auto pa = std::filesystem::weakly_canonical(a, ea);
    auto pb = std::filesystem::weakly_canonical(b, eb);
    return !ea && !eb && pa == pb;
}

}  // namespace layout
