// Named outputs written to a temporary beside the target and renamed into
// place once complete.
#include "gd/output_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

struct gd_output {
    FILE *stream;
    // The temporary and the real target it replaces; both empty when the
    // target is written directly.
    std::string temporary;
    std::string target;
    gd_output *next_pending;  // the next output whose temporary exists
};

namespace {

// ---------------------------------------------------------------------------
// Removing temporaries at an exit or a signal

// The signals that end a program by default and that it lives to handle.
// SIGXFSZ is not among them: a write past the file size limit kills at once,
// like SIGKILL, which the temporary's name is there for.
constexpr int ending_signals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE,
                                  SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGXCPU};

// Every output whose temporary exists. Changed only with the ending signals
// blocked, so a handler always finds a whole list.
gd_output *pending = nullptr;

void remove_pending_temporaries()
{
    for (gd_output *o = pending; o; o = o->next_pending) unlink(o->temporary.c_str());
}

void end_by_signal(int sig)
{
    remove_pending_temporaries();
    signal(sig, SIG_DFL);
    raise(sig);
    // The signal is blocked while its handler runs: let it end the program now.
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, sig);
    sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
}

sigset_t ending_signal_set()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : ending_signals) sigaddset(&set, sig);
    return set;
}

// Installed with the first temporary. A signal that the program (or whoever
// started it, as nohup does) ignores or handles itself is left alone.
void install_cleanup()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    atexit(remove_pending_temporaries);
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = end_by_signal;
    action.sa_mask = ending_signal_set();
    action.sa_flags = SA_RESTART;
    for (int sig : ending_signals) {
        struct sigaction old;
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) sigaction(sig, &action, nullptr);
    }
}

void add_pending(gd_output *out)
{
    install_cleanup();
    sigset_t block = ending_signal_set(), old;
    sigprocmask(SIG_BLOCK, &block, &old);
    out->next_pending = pending;
    pending = out;
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

void drop_pending(gd_output *out)
{
    sigset_t block = ending_signal_set(), old;
    sigprocmask(SIG_BLOCK, &block, &old);
    for (gd_output **at = &pending; *at; at = &(*at)->next_pending)
        if (*at == out) {
            *at = out->next_pending;
            break;
        }
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

// ---------------------------------------------------------------------------
// Finding the real target

std::string directory_of(const std::string &path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string &path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The links under /proc/<pid>/fd (where /dev/stdout leads) name open files,
// not paths: a file behind one is written through the link.
bool in_proc(const std::string &directory)
{
    struct statfs fs;
    return statfs(directory.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC;
}

enum class target_kind { regular, absent, direct, refused };

// Follows `path` through its symbolic links. Sets *real to the path the
// output goes to and *st to its status when it exists.
target_kind resolve(const char *path, std::string *real, struct stat *st)
{
    std::string at = path;
    for (int links = 0; links <= 40; links++) {
        if (lstat(at.c_str(), st) != 0) {
            if (errno != ENOENT) return target_kind::refused;
            *real = at;
            return target_kind::absent;
        }
        if (!S_ISLNK(st->st_mode)) {
            *real = at;
            return S_ISREG(st->st_mode) ? target_kind::regular : target_kind::direct;
        }
        if (in_proc(directory_of(at))) return target_kind::direct;
        std::string link(st->st_size > 0 ? (size_t)st->st_size + 1 : (size_t)PATH_MAX, '\0');
        ssize_t n = readlink(at.c_str(), link.data(), link.size());
        if (n < 0) return target_kind::refused;
        link.resize((size_t)n);
        at = link[0] == '/' ? link : directory_of(at) + "/" + link;
    }
    errno = ELOOP;
    return target_kind::refused;
}

// ---------------------------------------------------------------------------
// Making the temporary

// ".NAME.tmp.XXXXXX", with NAME cut where the whole would pass the longest
// file name.
std::string temporary_name(const std::string &target, uint64_t *seed)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = name_of(target);
    const size_t frame = std::strlen(".") + std::strlen(".tmp.XXXXXX");
    if (name.size() + frame > NAME_MAX) name.resize(NAME_MAX - frame);
    std::string temp = directory_of(target) + "/." + name + ".tmp.";
    for (int i = 0; i < 6; i++) {
        *seed ^= *seed << 13;
        *seed ^= *seed >> 7;
        *seed ^= *seed << 17;
        temp.push_back(letters[*seed % (sizeof letters - 1)]);
    }
    return temp;
}

// A new file beside the target: with the existing target's mode (and owner,
// where allowed), or with the mode the umask gives a new file.
int create_temporary(const std::string &target, const struct stat *existing, std::string *temp)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    static uint64_t calls = 0;
    uint64_t seed = ((uint64_t)now.tv_nsec << 20) ^ (uint64_t)now.tv_sec ^ ((uint64_t)getpid() << 40) ^
                    (++calls * 0x9e3779b97f4a7c15ull);
    if (seed == 0) seed = 1;
    for (int attempt = 0; attempt < 100; attempt++) {
        *temp = temporary_name(target, &seed);
        int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        if (existing) {
            struct stat mine;
            if (fstat(fd, &mine) == 0 &&
                (mine.st_uid != existing->st_uid || mine.st_gid != existing->st_gid) &&
                fchown(fd, existing->st_uid, existing->st_gid) != 0) {
                // Not allowed to give the file away: keep at least its group.
                (void)!fchown(fd, (uid_t)-1, existing->st_gid);
            }
            // After the owner: a change of owner clears the set-id bits.
            fchmod(fd, existing->st_mode & 07777);
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

gd_output *gd_output_open(const char *target)
{
    std::string real;
    struct stat st;
    const target_kind kind = resolve(target, &real, &st);
    if (kind == target_kind::refused) return nullptr;
    if (kind == target_kind::direct) {
        FILE *f = fopen(target, "wb");
        return f ? new gd_output{f, {}, {}, nullptr} : nullptr;
    }
    if (kind == target_kind::regular) {
        // The rename needs only the directory's permission: ask the file's own,
        // as opening it for writing would.
        int probe = open(real.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) return nullptr;
        close(probe);
    }
    gd_output *out = new gd_output{nullptr, {}, real, nullptr};
    // No signal may come between the temporary's birth and its registration.
    sigset_t block = ending_signal_set(), old;
    sigprocmask(SIG_BLOCK, &block, &old);
    int fd = create_temporary(real, kind == target_kind::regular ? &st : nullptr, &out->temporary);
    int saved = errno;
    if (fd >= 0) add_pending(out);
    sigprocmask(SIG_SETMASK, &old, nullptr);
    if (fd < 0) {
        delete out;
        errno = saved;
        return nullptr;
    }
    out->stream = fdopen(fd, "wb");
    if (!out->stream) {
        saved = errno;
        close(fd);
        gd_output_discard(out);
        errno = saved;
        return nullptr;
    }
    return out;
}

FILE *gd_output_stream(gd_output *out)
{
    return out->stream;
}

gd_success gd_output_commit(gd_output *out)
{
    bool ok = fflush(out->stream) == 0 && !ferror(out->stream);
    int saved = errno;
    if (fclose(out->stream) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    out->stream = nullptr;
    if (!out->temporary.empty()) {
        if (ok && rename(out->temporary.c_str(), out->target.c_str()) != 0) {
            ok = false;
            saved = errno;
        }
        if (!ok) unlink(out->temporary.c_str());
        drop_pending(out);
    }
    delete out;
    errno = saved;
    return ok ? 1 : 0;
}

void gd_output_discard(gd_output *out)
{
    int saved = errno;
    if (out->stream) fclose(out->stream);
    if (!out->temporary.empty()) {
        unlink(out->temporary.c_str());
        drop_pending(out);
    }
    delete out;
    errno = saved;
}
