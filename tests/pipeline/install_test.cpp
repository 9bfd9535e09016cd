// The installed toolkit: every program in bin/, the pipeline files under
// share/quillon/, and drivers that find those files from their own folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

#include "driver_fixture.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

// The programs each subsystem installs; the single-filter programs are
// counted, as run_<filter>_filter.
const std::map<std::string, Lines> &programsBySubsystem()
{
    static const std::map<std::string, Lines> programs = {
        {"gd", {"gddump", "gdtext"}},
        {"gd/filters", {"talvexf"}},
        {"gd/export", {"graphxml", "nodepeek", "refwho"}},
        {"layout", {"tessel", "tesselfix"}},
        {"twinfold", {"twinfold"}},
        {"pipeline", {"batchrun", "joinwide", "ledgerize", "link", "number", "placewide", "prep", "tabula"}},
    };
    return programs;
}
constexpr std::size_t singleFilterPrograms = 39;

Lines configuredSubsystems()
{
    Lines subsystems;
    std::istringstream list(QUILLON_SUBSYSTEMS);
    for (std::string sub; std::getline(list, sub, ',');) subsystems.push_back(sub);
    return subsystems;
}

using Install = DriverTest;

// One installation per test run: installs write their manifest into the
// build tree.
TEST_F(Install, ProgramsPipelineFilesAndDriversThatFindThem)
{
    const fs::path prefix = root / "prefix";
    auto install =
        runProgram(CMAKE_PROGRAM, {"--install", QUILLON_BINARY_DIR, "--prefix", prefix.string()}, {});
    ASSERT_EQ(install.status, 0) << install.out << install.err;

    // Every program in bin/, the pipeline files under share/quillon/.
    std::set<std::string> expected;
    std::size_t expectedSingleFilters = 0;
    for (const std::string &sub : configuredSubsystems()) {
        const Lines &programs = programsBySubsystem().at(sub);
        expected.insert(programs.begin(), programs.end());
        if (sub == "gd/filters") expectedSingleFilters = singleFilterPrograms;
    }
    std::set<std::string> installed;
    std::size_t singleFilters = 0;
    for (const std::string &name : directoryEntries(prefix / "bin")) {
        if (name.starts_with("run_") && name.ends_with("_filter")) {
            ++singleFilters;
        } else {
            installed.insert(name);
        }
    }
    EXPECT_EQ(installed, expected);
    EXPECT_EQ(singleFilters, expectedSingleFilters);
    if (configuredSubsystems().size() == programsBySubsystem().size()) {
        EXPECT_EQ(installed.size() + singleFilters, 54u + 2u);
    }

    const fs::path shipped = fs::path(SHIPPED_QUILLON_PATH) / "lib" / "pipeline";
    const fs::path pipelines = prefix / "share" / "quillon" / "lib" / "pipeline";
    EXPECT_EQ(directoryEntries(pipelines), (Lines{"joinwide.pip", "link.pip", "placewide.pip", "prep.pip"}));
    for (const std::string &name : directoryEntries(pipelines)) {
        EXPECT_EQ(readFile(pipelines / name), readFile(shipped / name)) << name;
    }

    // The installed link.pip runs without QUILLON_PATH, unset or set to the
    // empty string, also after the whole installation has moved; QUILLON_PATH
    // still chooses other pipeline files.
    const std::optional<std::string> unsetOrEmpty[] = {std::nullopt, ""};
    const Lines shippedLinkStages = {
        "rawlink [out.tmp.1.rawlink.set] [out.tmp.01.rawlink.ta]",
        "dellinksym [out.tmp.01.rawlink.ta] [out.tmp.02.dellinksym.ta]",
        "liftobj [out.tmp.03.liftfile.ta] [out.tmp.04.liftobj.ta]",
        "twinfold [out.tmp.04.liftobj.ta] [out.tmp.05.twinfold.ta]",
        "clusterch [out.tmp.05.twinfold.ta] [out.tmp.06.clusterch.ta]",
        "addschema [out.tmp.07.addcontain.ta] [out.tmp.08.addschema.ta]",
        "layout [out.tmp.08.addschema.ta] [out.tmp.09.layout.ta]",
    };
    const fs::path moved = root / "moved";
    for (const fs::path &installed : {prefix, moved}) {
        if (installed == moved) fs::rename(prefix, moved);
        for (const std::optional<std::string> &value : unsetOrEmpty) {
            const std::string name = installed.string() + (value ? " empty" : " unset");
            setup.environment["QUILLON_PATH"] = value;
            fs::remove(standIns.log);
            auto run = start((installed / "bin" / "link").string(), {"a.ta", name});
            EXPECT_EQ(run.status, 0) << name << run.out << run.err;
            EXPECT_EQ(run.out, "***Warning [link]: To be linked file named: '" + name + "'\n");
            EXPECT_EQ(standIns.calls(), shippedLinkStages) << name;
            EXPECT_EQ(readFile(work / "out.ls.ta"), "a.ta\n" + name + "\n");
        }
    }

    fs::remove(standIns.log);
    usePipeline("link.pip", "newstage\n");
    auto chosen = start((moved / "bin" / "link").string(), {"c.ta"});
    EXPECT_EQ(chosen.status, 0);
    EXPECT_EQ(chosen.out, "***Running new stage: 'newstage'\n");
    EXPECT_EQ(standIns.calls(), Lines{"newstage [out.tmp.1.rawlink.set] [out.tmp.01.newstage.ta]"});

    // Without the installed files the message stays the one for a missing
    // QUILLON_PATH, and an installed folder without the file names its path.
    setup.environment["QUILLON_PATH"] = std::nullopt;
    const fs::path movedPipelines = moved / "share" / "quillon" / "lib" / "pipeline";
    fs::remove(movedPipelines / "prep.pip");
    auto noFile = start((moved / "bin" / "prep").string(), {"d.ta"});
    EXPECT_EQ(noFile.status, 255);
    EXPECT_EQ(noFile.out,
              "*** [prep]: Cannot open pipeline file '" + movedPipelines.string() + "/prep.pip'\n");
    fs::remove_all(moved / "share");
    for (const std::optional<std::string> &value : unsetOrEmpty) {
        setup.environment["QUILLON_PATH"] = value;
        auto noFolder = start((moved / "bin" / "joinwide").string(), {"d.ta"});
        EXPECT_EQ(noFolder.status, 255);
        EXPECT_EQ(noFolder.out, "***Error [joinwide]: Environment variable QUILLON_PATH not set\n");
    }
}

}  // namespace
}  // namespace pipeline
