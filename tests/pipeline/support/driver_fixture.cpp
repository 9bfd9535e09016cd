#include "driver_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace pipeline_test {

std::vector<std::string> directoryEntries(const fs::path &directory)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string StandIns::searchPath() const
{
    const char *path = std::getenv("PATH");
    return bin.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin");
}

std::vector<std::string> StandIns::calls() const
{
    std::vector<std::string> lines;
    std::istringstream text(readFile(log));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}

StandIns installStandIns(const fs::path &root, const std::vector<std::string> &names)
{
    StandIns standIns{root / "bin", root / "stand-in.log"};
    fs::create_directories(standIns.bin);
    for (const std::string &name : names) {
        fs::create_symlink(STANDIN_SCRIPT, standIns.bin / name);
    }
    return standIns;
}

const std::vector<std::string> &allStageNames()
{
    static const std::vector<std::string> names = {
        "liftunit",  "liftfile",   "unique",    "rawline", "rawlink", "dellinksym", "liftobj",   "twinfold",
        "clusterch", "addcontain", "addschema", "layout",  "cleanup", "newstage",   "listwright"};
    return names;
}

void writePipelineFile(const fs::path &root, const std::string &pipelineName, const std::string &text)
{
    fs::create_directories(root / "lib" / "pipeline");
    writeFile(root / "lib" / "pipeline" / pipelineName, text);
}

}  // namespace pipeline_test
