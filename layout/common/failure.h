// How the layout libraries report a stop: the message the program prints and
// the stream it goes to.  The programs print it and end with status 1.  Every
// step that can stop returns a MaybeFailure, empty when it went well, so that
// a caller passes a stop on with `if (MaybeFailure e = step()) return e;`.
#pragma once

#include <optional>
#include <string>

namespace layout {

struct Failure {
    std::string message;
    bool onStderr = false;  // only the missing-$INSTANCE error goes there
};

using MaybeFailure = std::optional<Failure>;

inline MaybeFailure fail(std::string message, bool onStderr = false)
{
    return Failure{std::move(message), onStderr};
}

// printf into a std::string.
std::string format(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace layout
