#include "output.h"

#include <cerrno>

void CoutputFile::openStandardOutput()
{
    m_pStream = stdout;
    m_standardOutput = true;
    m_name = "standard output";
}

CstepEnd CoutputFile::stop() const
{
    std::fprintf(stderr, "Can't write to '%s'\n", displayName());
    // Where a folder that exists refuses the new file, the file's name alone
    // would puzzle; a folder that does not exist is plain from the name.
    const support::OutputFailure &why = m_file.failure();
    if (why.error != ENOENT && why.error != ENOTDIR && !why.folder.empty())
        std::fprintf(stderr, "%s: %s\n", displayName(), why.folderReason().c_str());
    return CstepEnd::kStopped;
}

CstepEnd CoutputFile::open(const char *path)
{
    m_name = path;
    // The data reaches the disk before the file takes the target's name, so
    // that a crash of the machine cannot leave an empty file there.
    support::OutputOptions options;
    options.durable = true;
    return m_file.open(m_name, options) ? CstepEnd::kDone : stop();
}

CstepEnd CoutputFile::begin()
{
    if (!m_standardOutput) m_pStream = m_file.stream();
    return m_pStream != nullptr ? CstepEnd::kDone : stop();
}

CstepEnd CoutputFile::finish()
{
    if (m_standardOutput) {
        if (m_pStream == nullptr) return stop();
        bool good = std::fflush(m_pStream) == 0 && !std::ferror(m_pStream);
        if (std::fclose(m_pStream) != 0) good = false;
        m_pStream = nullptr;
        return good ? CstepEnd::kDone : stop();
    }
    m_pStream = nullptr;
    return m_file.keep() ? CstepEnd::kDone : stop();
}

void CoutputFile::abandon()
{
    if (!m_standardOutput) {
        m_pStream = nullptr;
        m_file.discard();
    }
}
