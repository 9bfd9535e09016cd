// How the layout libraries report a stop: the message the program prints and
// the stream it goes to.  The programs print it and end with status 1.
#pragma once

#include <optional>
#include <string>

namespace layout {

struct Failure {
    std::string message;
    bool onStderr = false;   // only the missing-$INSTANCE error goes there
};

using Outcome = std::optional<Failure>;   // empty: success

inline Outcome fail(std::string message, bool onStderr = false) {
    return Failure{std::move(message), onStderr};
}

// printf into a std::string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace layout
