#pragma once
// Small utilities: number (a file with line numbers), batchrun (prep over
// the example table) and tabula (a TA file listed by listwright).

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"
#include "frame.h"
#include "file_buffers.h"
#include "tokens.h"

namespace pipeline {

// One numbered line: the number right-aligned in two characters, two
// blanks, the line, a newline.
std::string numberedLine(std::size_t number, std::string_view line);

// number: prompts for a file name, reads it as one token from the typed
// input and writes every line of the file numbered. A typed input or a file
// that cannot be read, and a file that cannot be opened, are a
// violated-limit stop. Once a line cannot be written, no more are: the
// frame reports the failed output.
RunEnd runNumber(InputBuffer &typed, std::ostream &messages);

// One example of batchrun: its directory under the test directory and its
// source file; the TA file is the source file name with ".ta" appended.
struct Example {
    std::string_view dir;
    std::string_view file;
};

const std::vector<Example> &exampleTable();

// The command of one example: prep on dir/file.ta inside the test directory.
Command exampleCommand(const std::string &testDirectory, const Example &example);

// batchrun: prep over every example in table order; stops at the first
// failure.
RunEnd runBatch(const std::string &testDirectory, std::ostream &messages);

// The test directory: QUILLON_BATCHRUN_DIR when set and not empty, else the
// built-in default.
std::string batchTestDirectory(const char *fromEnvironment, const char *builtIn);

struct TabulaFiles {
    std::string fileTa;
    std::string fileTabula;
};

// The files of tabula fileTa [fileTabula]; none when the usage text is due.
std::optional<TabulaFiles> tabulaFiles(const std::vector<std::string> &arguments);

// tabula: has listwright write the listing of a TA file, under a new name
// beside the listing that takes the listing's place only when listwright
// ends with status 0: a converter that fails or is killed leaves the old
// listing whole. An input that is its own listing, by any name, is refused
// before anything runs.
RunEnd runTabula(const std::vector<std::string> &arguments, std::ostream &messages);

}  // namespace pipeline
