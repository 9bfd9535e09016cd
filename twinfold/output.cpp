#include "output.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

void CoutputFile::openStandardOutput()
{
    m_pStream = stdout;
    m_standardOutput = true;
    m_name = "standard output";
}

bool CoutputFile::open(const char* path)
{
    m_name = path;
    if (path[0] == '\0')
        return false;
    const int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC;
    m_fd = ::open(path, flags);
    if (m_fd < 0 && errno == ENOENT) {
        m_fd = ::open(path, flags | O_CREAT | O_EXCL, 0666);
        if (m_fd >= 0)
            m_created = true;
        else if (errno == EEXIST)
            // A symbolic link to a file that does not exist: the file is
            // made where the link points.
            m_fd = ::open(path, flags | O_CREAT, 0666);
    }
    return m_fd >= 0;
}

bool CoutputFile::begin()
{
    if (m_standardOutput)
        return m_pStream != nullptr;
    if (m_fd < 0)
        return false;
    struct stat info;
    if (fstat(m_fd, &info) != 0)
        return false;
    // Devices and pipes have nothing to empty.
    if (S_ISREG(info.st_mode) && ftruncate(m_fd, 0) != 0)
        return false;
    m_pStream = fdopen(m_fd, "w");
    if (m_pStream == nullptr)
        return false;
    m_fd = -1;
    m_created = false;
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
    return good;
}

void CoutputFile::abandon()
{
    if (m_pStream != nullptr && !m_standardOutput)
        std::fclose(m_pStream);
    m_pStream = nullptr;
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (m_created) {
        unlink(m_name.c_str());
        m_created = false;
    }
}
