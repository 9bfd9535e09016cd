// File names and file identity, as every program of the toolkit needs them.
#pragma once

#include <string>

namespace support {

// The folder part of a name: "." for a bare name, "/" for one right under
// the root.
std::string directoryOf(const std::string &path);

// The last part of a name.
std::string nameOf(const std::string &path);

// True when both names denote the same file, however they are spelt: both
// exist and are the same device and inode (links of either kind followed),
// or neither exists and both lead to the same path once made.
bool sameFile(const std::string &a, const std::string &b);

// The descriptor that a name stands for: /dev/stdin, /dev/stdout,
// /dev/stderr, /dev/fd/N, /proc/self/fd/N, /proc/<this process>/fd/N (and a
// thread's own fd folder), however the folder part is spelt; -1 for any other
// name. Names under another process's fd folder stand for no descriptor of
// this one.
int descriptorNamed(const std::string &path);

}  // namespace support
