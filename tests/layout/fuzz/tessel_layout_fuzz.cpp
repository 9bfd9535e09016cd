// libFuzzer target over the whole tessel run on a TA text, as the program
// does it: read, build the tree, lay out in the chosen model and write the
// layout.  Read back onto the same graph, the layout must give every item of
// the tree exactly the box written (each number as its six decimals say) and
// no box to an item outside the tree.  Unlike the readers' target it lays out
// every graph that reads, items contained twice included.  The first byte
// picks the options, the next two the window size; graphs above a cap on
// items and records are read but not laid out, so that a run stays fast.
// Nothing is written to a file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>

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
int windowSide(uint8_t byte)
{
    return byte * 10;
}

using Box = std::array<float, 4>;

// A box as the layout file gives it back: each number through its six
// decimals.
Box asWritten(const layout::Item *item)
{
    Box box{item->x, item->y, item->width, item->height};
    for (float &v : box)
        v = static_cast<float>(std::strtod(layout::format("%f", static_cast<double>(v)).c_str(), nullptr));
    return box;
}

// On standard error: the fuzzer runs with standard output closed.
[[noreturn]] void report(const std::string &layoutText, const std::string &what)
{
    std::fwrite(layoutText.data(), 1, layoutText.size(), stderr);
    std::fprintf(stderr, "\n-- layout above: %s\n", what.c_str());
    std::abort();
}

// Reads the layout back onto the graph it was written from and compares
// every box with the one written.
void checkReadBack(layout::ItemTable &graph, layout::Item *root, const std::string &out)
{
    using namespace layout;
    std::unordered_map<const Item *, Box> written{{root, asWritten(root)}};
    walkPreOrder(root, [&written](Item *item, int) { written[item] = asWritten(item); });
    for (Item &item : graph.storage) {
        item.x = item.y = item.width = item.height = -1;
        item.hasBox = false;
    }
    if (MaybeFailure e = Control_ParseLayout(graph, out, nullptr))
        report(out, "does not read back: " + e->message);
    for (const Item &item : graph.storage) {
        auto w = written.find(&item);
        if (w == written.end()) {
            if (item.hasBox) report(out, "gives a box to " + item.name + ", which is not in the tree");
            continue;
        }
        if (!item.hasBox) report(out, "gives no box to " + item.name);
        if (Box{item.x, item.y, item.width, item.height} != w->second)
            report(out, "gives " + item.name + " another box than the one written");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace layout;
    if (size < 3) return 0;
    uint8_t mode = data[0];
    int width = windowSide(data[1]);
    int height = windowSide(data[2]);
    std::string_view ta(reinterpret_cast<const char *>(data + 3), size - 3);

    FILE *sink = std::fopen("/dev/null", "w");
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
        checkReadBack(graph, ptrs.rootItemPtr, outputLayout(ptrs.rootItemPtr));
    }
    std::fclose(sink);
    return 0;
}
