#include "support/file_names.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace support {

std::string directoryOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    const bool hasA = stat(a.c_str(), &sa) == 0;
    const bool hasB = stat(b.c_str(), &sb) == 0;
    if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (hasA != hasB) return false;
    std::error_code ea, eb;
    const std::filesystem::path pa = std::filesystem::weakly_canonical(a, ea);
    const std::filesystem::path pb = std::filesystem::weakly_canonical(b, eb);
    return !ea && !eb && pa == pb;
}

namespace {

// A descriptor number as a folder entry names it: decimal digits only.
int descriptorNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 9) return -1;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

bool onProc(const std::string &directory)
{
    struct statfs fs;
    return statfs(directory.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

}  // namespace

int descriptorNamed(const std::string &path)
{
    // Spelt the usual ways, they are known without /proc (which a container
    // may lack).
    if (path == "/dev/stdin") return 0;
    if (path == "/dev/stdout") return 1;
    if (path == "/dev/stderr") return 2;
    if (path.starts_with("/dev/fd/")) return descriptorNumber(std::string_view(path).substr(8));
    const std::string directory = directoryOf(path);
    const int n = descriptorNumber(nameOf(path));
    if (n < 0 || !onProc(directory)) return -1;
    // /proc/self, /dev/fd and /proc/thread-self lead to the process's own
    // folder by its number.
    char real[PATH_MAX];
    if (!realpath(directory.c_str(), real)) return -1;
    const std::string own = "/proc/" + std::to_string(getpid());
    const std::string_view r(real);
    if (r == own + "/fd") return n;
    if (r == own + "/task/" + std::to_string(gettid()) + "/fd") return n;
    return -1;
}

}  // namespace support
