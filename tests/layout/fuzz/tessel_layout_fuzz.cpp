// libFuzzer target over the whole tessel run on a TA text, as the program
// does it: read, build the tree, lay out in the chosen model and write the
// layout, which must read back onto the same graph.  Unlike the readers'
// target it lays out every graph that reads, items contained twice included.
// The first byte picks the options, the next two the window size; graphs
// above a cap on items and records are read but not laid out, so that a run
// stays fast.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/layout_file.h"
#include "common/tree.h"
#include "tessel/cliserv_layout.h"
#include "tessel/layered_layout.h"

namespace {

constexpr size_t kMaxItems = 200;
// Items contained twice are laid out under each container: the records, not
// the items, measure the work.
constexpr size_t kMaxRecords = 4 * kMaxItems;

// Window sides from 0 to 2550 in steps of 10: tiny windows included.
int windowSide(uint8_t byte) { return byte * 10; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace layout;
    if (size < 3) return 0;
    uint8_t mode = data[0];
    int width = windowSide(data[1]);
    int height = windowSide(data[2]);
    std::string_view ta(reinterpret_cast<const char*>(data + 3), size - 3);

    FILE* sink = std::fopen("/dev/null", "w");
    ReadOptions read;
    read.relationOnlyInput = mode & 1;
    read.printParseError = mode & 2;
    read.warnings = sink;
    read.trace = (mode & 4) ? sink : nullptr;
    read.inputTupleFile = "dir/fuzz.o.ta";
    TreeSetup setup;
    setup.model = (mode & 8) ? cliServ : nested;
    setup.rootWidth = static_cast<float>(width);
    setup.rootHeight = static_cast<float>(height);
    setup.adjustContainLevels = true;
    // Without a name the subsystem is "fuzz.ss"; with one it is "s".
    std::string ssName = "s";
    setup.subsystemName = (mode & 16) ? &ssName : nullptr;

    ItemTable graph;
    SystemPointers ptrs;
    std::string warnings;
    if (!prepareGraph(graph, ptrs, ta, read, setup, warnings) && graph.storage.size() <= kMaxItems &&
        countLayoutRecords(graph, ptrs.rootItemPtr, kMaxRecords) <= kMaxRecords) {
        viewStructure(ptrs, read.trace);
        LayoutContext ctx;
        ctx.trace = read.trace;
        Control_DetermineLayout(ptrs, setup.model, width, height, ctx);
        std::string out = outputLayout(ptrs.rootItemPtr);
        if (Control_ParseLayout(graph, out, nullptr)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            std::fputs("\n-- layout above does not read back\n", stdout);
            std::fflush(stdout);
            std::abort();
        }
    }
    std::fclose(sink);
    return 0;
}
