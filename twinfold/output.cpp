#include "output.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary file to remove when the run ends early through exit (out of
// memory, an internal error); a fixed buffer, as it is read at exit.
char pendingTemporary[PATH_MAX + 32];

void removePendingTemporary()
{
    if (pendingTemporary[0] != '\0')
        unlink(pendingTemporary);
}

void setPendingTemporary(const std::string& path)
{
    static bool registered = false;
    if (!registered) {
        std::atexit(removePendingTemporary);
        registered = true;
    }
    if (path.size() < sizeof pendingTemporary)
        std::memcpy(pendingTemporary, path.c_str(), path.size() + 1);
}

mode_t currentUmask()
{
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

} // namespace

void CoutputFile::openStandardOutput()
{
    m_pStream = stdout;
    m_standardOutput = true;
    m_name = "standard output";
}

bool CoutputFile::open(const char* path)
{
    m_name = path;
    m_target = path;
    if (path[0] == '\0')
        return false;
    struct stat info;
    bool exists = stat(path, &info) == 0;
    // Devices and pipes are written in place: there is no file to keep.
    if (exists && !S_ISREG(info.st_mode)) {
        m_pStream = std::fopen(path, "w");
        return m_pStream != nullptr;
    }
    if (exists && access(path, W_OK) != 0)
        return false;
    // Write beside the file a symbolic link points at, not over the link.
    struct stat linkInfo;
    if (lstat(path, &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode) && exists) {
        char resolved[PATH_MAX];
        if (realpath(path, resolved) == nullptr)
            return false;
        m_target = resolved;
    }
    std::string pattern = m_target + ".XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        return false;
    m_temporary = pattern;
    setPendingTemporary(m_temporary);
    fchmod(fd, exists ? (info.st_mode & 07777) : (0666 & ~currentUmask()));
    m_pStream = fdopen(fd, "w");
    if (m_pStream == nullptr) {
        close(fd);
        abandon();
        return false;
    }
    return true;
}

bool CoutputFile::finish()
{
    if (m_pStream == nullptr)
        return false;
    bool good = std::fflush(m_pStream) == 0 && !std::ferror(m_pStream);
    if (std::fclose(m_pStream) != 0)
        good = false;
    m_pStream = nullptr;
    if (!good) {
        abandon();
        return false;
    }
    if (!m_temporary.empty()) {
        if (std::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
            abandon();
            return false;
        }
        m_temporary.clear();
        pendingTemporary[0] = '\0';
    }
    return true;
}

void CoutputFile::abandon()
{
    if (m_pStream != nullptr && !m_standardOutput)
        std::fclose(m_pStream);
    m_pStream = nullptr;
    if (!m_temporary.empty()) {
        unlink(m_temporary.c_str());
        m_temporary.clear();
        pendingTemporary[0] = '\0';
    }
}
