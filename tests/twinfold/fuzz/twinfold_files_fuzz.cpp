// Fuzz target: twinfold through real files, with the writes and reads
// failing. The input is written to a file; twinfold runs on it in a child
// process, its output either the input file itself or a separate file that
// holds an older output, while a fault is injected: a file size limit that
// fails a write (EFBIG), the same limit whose signal kills the child at that
// byte, or a read error after a given number of bytes. The property: once
// the child has ended, the target holds exactly what it held before, or
// exactly the complete output of a run without the fault (which the target
// works out in process first), and the child's exit status says which; no
// temporary file is left beside it; and every file lies in one directory of
// the working directory, removed when the target ends.
#include "arena.h"
#include "input.h"
#include "output.h"
#include "run.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

enum class Cfault { kNone, kWriteError, kKilled, kReadError };

std::string g_directory;
// The process that made the directory: a child that exits leaves it.
pid_t g_owner = 0;

void removeDirectory()
{
    if (g_directory.empty() || getpid() != g_owner) return;
    if (DIR *dir = opendir(g_directory.c_str())) {
        while (dirent *entry = readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                unlink((g_directory + "/" + entry->d_name).c_str());
        closedir(dir);
    }
    rmdir(g_directory.c_str());
}

const std::string &directory()
{
    if (g_directory.empty()) {
        char pattern[] = "twinfold-files-fuzz.XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        char *real = realpath(pattern, nullptr);
        g_directory = real;
        std::free(real);
        g_owner = getpid();
        std::atexit(removeDirectory);
    }
    return g_directory;
}

std::vector<std::string> entries()
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(directory().c_str())) {
        while (dirent *entry = readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.push_back(entry->d_name);
        closedir(dir);
    }
    return names;
}

bool readWhole(const std::string &path, std::string &text)
{
    FILE *f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    text.clear();
    char block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, f)) > 0;) text.append(block, got);
    std::fclose(f);
    return true;
}

void writeWhole(const std::string &path, const char *data, size_t size)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
}

// The input file, whose read fails (as a disk gives EIO) once `left` bytes
// were given.
class CfailingAfter : public CinputSource {
public:
    CfailingAfter(CinputSource &file, size_t bytes) : m_file(file), m_left(bytes) {}
    size_t read(char *to, size_t size) override
    {
        if (m_left == 0) {
            m_failed = true;
            return 0;
        }
        size_t got = m_file.read(to, std::min(size, m_left));
        m_left -= got;
        return got;
    }
    bool failed() const override { return m_failed || m_file.failed(); }

private:
    CinputSource &m_file;
    size_t m_left;
    bool m_failed = false;
};

// One run as the program makes it: the output opened before the input; with
// failAfter set, a read error after that many bytes.
int runOnFiles(const std::string &input, const std::string &output, const Coptions &options,
               const size_t *failAfter)
{
    CoutputFile out;
    if (out.open(output.c_str()) == CstepEnd::kStopped) return 1;
    CinputFile in;
    if (!in.open(input.c_str())) return 1;
    if (failAfter == nullptr) return run(in, input.c_str(), out, options) == CstepEnd::kDone ? 0 : 1;
    CfailingAfter failing(in, *failAfter);
    return run(failing, input.c_str(), out, options) == CstepEnd::kDone ? 0 : 1;
}

[[noreturn]] void fail(const char *what, const std::string &detail)
{
    std::printf("-- %s\n%s\n", what, detail.c_str());
    std::fflush(stdout);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    // Three bytes choose the run: the mode, the fault, where the output goes,
    // and the byte at which the fault comes; the rest is the TA text.
    if (size < 3) return 0;
    Coptions options;
    options.m_unionHeaders = (data[0] & 1) == 0;
    const Cfault fault = Cfault((data[0] >> 1) & 3);
    const bool outputIsInput = (data[0] & 8) != 0;
    const size_t at = size_t(data[1]) | size_t(data[2]) << 8;
    const char *text = reinterpret_cast<const char *>(data + 3);
    const size_t length = size - 3;

    const std::string input = directory() + "/in.ta";
    const std::string reference = directory() + "/reference.ta";
    const std::string target = outputIsInput ? input : directory() + "/out.ta";
    writeWhole(input, text, length);
    if (!outputIsInput) writeWhole(target, "older output\n", 13);
    std::string before;
    readWhole(target, before);

    // The run without a fault, in process.
    std::string expected;
    bool accepted = runOnFiles(input, reference, options, nullptr) == 0 && readWhole(reference, expected);
    releaseArena();
    unlink(reference.c_str());

    pid_t child = fork();
    if (child < 0) std::abort();
    if (child == 0) {
        if (fault == Cfault::kWriteError || fault == Cfault::kKilled) {
            const rlimit limit{rlim_t(at), rlim_t(at)};
            setrlimit(RLIMIT_FSIZE, &limit);
            // As the program finds it when it starts: the output then gives
            // the signal its own handler, unless it is ignored.
            signal(SIGXFSZ, fault == Cfault::kWriteError ? SIG_IGN : SIG_DFL);
        }
        // The temporary is removed by the output's own ending, before _exit.
        int status = runOnFiles(input, target, options, fault == Cfault::kReadError ? &at : nullptr);
        std::fflush(nullptr);
        _exit(status);
    }
    int status = 0;
    // The fuzzer's own timer interrupts the wait.
    pid_t waited;
    while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {}
    if (waited != child) std::abort();

    std::string after;
    bool exists = readWhole(target, after);
    const bool succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (succeeded) {
        if (!accepted || !exists || after != expected)
            fail("a run that ended well did not leave the whole output", after);
    } else if (!exists || after != before) {
        fail("a run that failed changed the file it would replace", after);
    }
    if (!WIFEXITED(status) && !(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ))
        fail("the run ended by an unexpected signal", std::to_string(status));
    if (fault == Cfault::kNone && succeeded != accepted)
        fail("a run without a fault ended otherwise than in process", "");
    std::vector<std::string> left = entries();
    if (left.size() != (outputIsInput ? 1u : 2u))
        fail("a file was left beside the target", left.empty() ? "" : left.back());
    unlink(input.c_str());
    unlink(target.c_str());
    return 0;
}
