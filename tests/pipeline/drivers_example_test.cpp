// The README's batch recipe for the drivers: pipeline/sample/drivers.mk run
// by make over a few units, jobs side by side, with the built drivers and
// the stand-in stages on the search path and the shipped pipeline files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "driver_fixture.h"

namespace pipeline {
namespace {

using namespace pipeline_test;

// What a folder holds, down through its folders: each file's bytes, each
// link's target, each FIFO and folder by kind.
std::map<std::string, std::string> treeOf(const fs::path &root)
{
    std::map<std::string, std::string> tree;
    for (const auto &entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().lexically_relative(root).string();
        if (entry.is_symlink())
            tree[name] = "link to " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            tree[name] = "folder";
        else if (entry.is_fifo())
            tree[name] = "fifo";
        else
            tree[name] = readFile(entry.path());
    }
    return tree;
}

class DriversExample : public DriverTest {
protected:
    DriversExample()
    {
        fs::create_directory(units);
        for (const char *unit : {"beta", "alpha", "gamma"})
            writeFile(units / (std::string(unit) + ".ta"),
                      std::string("FACT TUPLE :\n$INSTANCE ") + unit + " cFile\n");
        // The stand-in stages, then the drivers from the build, before the
        // system's programs (which hold a link of their own).
        setup.environment["PATH"] = standIns.bin.string() + ":" +
                                    fs::path(PREP_PROGRAM).parent_path().string() + ":" +
                                    standIns.searchPath();
        // rawlink joins the files its set file lists; every other stage
        // copies its input.
        setup.environment["STANDIN_JOIN_SETS"] = "1";
    }

    ProgramRun make(const Lines &options)
    {
        Lines arguments = {"-f", DRIVERS_MAKEFILE, "-s", "SRC=" + units.string(), "OUT=" + results.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runProgram(MAKE_PROGRAM, arguments, setup);
    }

    // The files of a clean run, written out from what each stage does.
    std::map<std::string, std::string> cleanRun() const
    {
        std::map<std::string, std::string> tree;
        std::string joined;
        for (const char *unit : {"alpha", "beta", "gamma"}) {
            const std::string u = unit, facts = readFile(units / (u + ".ta"));
            joined += facts;
            tree[u + ".o.ta"] = facts;
            tree["prep/" + u] = "folder";
            tree["prep/" + u + "/" + u + ".ta"] = "link to " + (units / (u + ".ta")).string();
            tree["prep/" + u + "/prep.log"] = "";
            for (const char *stage : {"01.liftunit", "02.liftfile", "03.unique", "04.rawline"})
                tree["prep/" + u + "/" + u + ".tmp." + stage + ".ta"] = facts;
        }
        tree["prep"] = "folder";
        const std::pair<std::string, std::vector<std::string>> stageFiles[] = {
            {"link/out.tmp.",
             {"01.rawlink", "02.dellinksym", "03.liftfile", "04.liftobj", "05.twinfold", "06.clusterch",
              "07.addcontain", "08.addschema", "09.layout"}},
            {"joinwide/link.tmp.",
             {"01.rawlink", "02.dellinksym", "03.liftfile", "04.twinfold", "05.clusterch", "06.cleanup"}},
            {"placewide/layout.tmp.", {"01.addcontain", "02.addschema", "03.layout"}},
        };
        for (const auto &[prefix, stages] : stageFiles)
            for (const std::string &stage : stages) tree[prefix + stage + ".ta"] = joined;
        for (const char *driver : {"link", "joinwide", "placewide"}) {
            tree[driver] = "folder";
            tree[std::string(driver) + "/" + driver + ".log"] = "";
        }
        for (const char *result : {"linked.ls.ta", "joined.ln.ta", "placed.ls.ta"}) tree[result] = joined;
        return tree;
    }

    fs::path units = root / "units";
    fs::path results = root / "results";
};

// Every unit's prep and each driver run as jobs of their own, side by side;
// a second run finds everything up to date.
TEST_F(DriversExample, EveryUnitAndEveryDriverAsAJobOfItsOwn)
{
    const ProgramRun batch = make({"-j4"});
    ASSERT_EQ(batch.status, 0) << batch.out << batch.err;
    EXPECT_EQ(batch.out, "");
    EXPECT_EQ(batch.err, "");
    EXPECT_EQ(treeOf(results), cleanRun());
    EXPECT_EQ(make({"-q"}).status, 0);
}

// Stand-ins that stall a batch part way, each where a kill leaves the most
// behind: a prep stage half through its stage file; link's final copy, whose
// last stage file is a FIFO that gives half its bytes and waits; joinwide's
// cleanup stage half through its file. Each then says so in MARKS.
const char *stallingUnique = R"(#!/bin/sh
case "$1" in
beta.tmp.02.liftfile.ta)
  head -c 10 "$1" > "$3"
  touch "$MARKS/prep"
  exec sleep 600;;
esac
exec "$REAL_STAGES/unique" "$@"
)";
const char *stallingLayout = R"(#!/bin/sh
case "$2" in
out.tmp.09.layout.ta)
  rm -f "$2" && mkfifo "$2"
  { head -c 20 "$1"; touch "$MARKS/link"; exec sleep 600; } > "$2" &
  exit 0;;
esac
exec "$REAL_STAGES/layout" "$@"
)";
const char *stallingCleanup = R"(#!/bin/sh
head -c 30 "$1" > "$2"
touch "$MARKS/joinwide"
exec sleep 600
)";

// A batch killed with SIGKILL, make and its jobs together, at each of those
// places: run again, it ends with exactly the files of a clean run.
TEST_F(DriversExample, AKilledBatchRunAgainEndsWithTheFilesOfACleanRun)
{
    struct Kill {
        std::string what;
        std::vector<std::pair<std::string, const char *>> stallingStages;
        Lines marks;
        std::map<std::string, std::string> left;  // some of what the kill leaves
        std::string leftTemporary = {};           // a driver's temporary among it
    };
    const Kill kills[] = {
        {"a prep stage half through its file",
         {{"unique", stallingUnique}},
         {"prep"},
         {{"prep/beta/beta.tmp.03.unique.ta", "FACT TUPLE"}}},
        {"link in its final copy, joinwide in a stage",
         {{"layout", stallingLayout}, {"cleanup", stallingCleanup}},
         {"link", "joinwide"},
         {{"link/out.tmp.09.layout.ta", "fifo"},
          {"link/out.tmp.1.rawlink.set", "../alpha.o.ta\n../beta.o.ta\n../gamma.o.ta\n"},
          {"joinwide/link.tmp.06.cleanup.ta", "FACT TUPLE :\n$INSTANCE alpha"}},
         "link/.out.ls.ta.tmp."},
    };
    for (const Kill &kill : kills) {
        SCOPED_TRACE(kill.what);
        fs::remove_all(results);
        const fs::path stalling = root / "stalling", marks = root / "marks";
        fs::remove_all(stalling);
        fs::remove_all(marks);
        fs::create_directory(stalling);
        fs::create_directory(marks);
        for (const auto &[stage, script] : kill.stallingStages) {
            writeFile(stalling / stage, script);
            fs::permissions(stalling / stage, fs::perms::owner_all);
        }
        RunSetup stalled = setup;
        stalled.ownProcessGroup = true;
        stalled.environment["PATH"] = stalling.string() + ":" + *setup.environment["PATH"];
        stalled.environment["MARKS"] = marks.string();
        stalled.environment["REAL_STAGES"] = standIns.bin.string();
        {
            test_support::StartedProgram batch(
                MAKE_PROGRAM,
                {"-f", DRIVERS_MAKEFILE, "-s", "-j4", "SRC=" + units.string(), "OUT=" + results.string()},
                stalled);
            auto allMarked = [&] {
                for (const std::string &mark : kill.marks)
                    if (!fs::exists(marks / mark)) return false;
                return true;
            };
            while (batch.running() && !allMarked()) usleep(2000);
            ASSERT_TRUE(batch.running()) << "the batch ended before the stand-ins stalled";
            batch.signalGroup(SIGKILL);
            EXPECT_EQ(batch.wait().signal, SIGKILL);
        }
        const std::map<std::string, std::string> left = treeOf(results);
        for (const auto &[name, bytes] : kill.left) {
            ASSERT_TRUE(left.count(name)) << name;
            EXPECT_TRUE(left.at(name).starts_with(bytes)) << name << ": " << left.at(name);
        }
        if (!kill.leftTemporary.empty()) {
            auto temporary = left.lower_bound(kill.leftTemporary);
            EXPECT_TRUE(temporary != left.end() && temporary->first.starts_with(kill.leftTemporary))
                << (temporary != left.end() ? temporary->first : "end");
        }
        EXPECT_FALSE(left.count("linked.ls.ta") || left.count("joined.ln.ta") || left.count("placed.ls.ta"));

        const ProgramRun again = make({"-j4"});
        ASSERT_EQ(again.status, 0) << again.out << again.err;
        EXPECT_EQ(again.err, "");
        EXPECT_EQ(treeOf(results), cleanRun());
        EXPECT_EQ(make({"-q"}).status, 0);
    }
}

}  // namespace
}  // namespace pipeline
