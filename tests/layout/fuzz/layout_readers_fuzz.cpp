// libFuzzer target over the TA tuple reader and the layout-file reader.  The
// first byte picks the reader options; the rest is split at the first NUL
// into a TA text and a layout text.  Small trees are laid out too, and their
// layout must read back to the same boxes; a layout text that reads is taken
// as the old layout of the same graph read anew, with one item added, for
// tesselfix's placement.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/layout_file.h"
#include "common/tree.h"
#include "tessel/cliserv_layout.h"
#include "tessel/layered_layout.h"
#include "tesselfix/placement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace layout;
    if (size == 0) return 0;
    uint8_t mode = data[0];
    std::string_view rest(reinterpret_cast<const char *>(data + 1), size - 1);
    size_t split = rest.find('\0');
    std::string_view ta = rest.substr(0, split);
    std::string_view layoutText =
        split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);

    FILE *sink = std::fopen("/dev/null", "w");
    ItemTable graph;
    SystemPointers ptrs;
    std::string warnings;
    ReadOptions read;
    read.relationOnlyInput = mode & 1;
    read.printParseError = mode & 2;
    read.warnings = sink;
    read.trace = (mode & 4) ? sink : nullptr;
    read.inputTupleFile = "fuzz.ta";
    TreeSetup setup;
    setup.model = (mode & 8) ? cliServ : nested;
    setup.rootWidth = 800;
    setup.rootHeight = 600;
    setup.adjustContainLevels = true;
    std::string ssName = "s";
    setup.subsystemName = &ssName;
    if (!prepareGraph(graph, ptrs, ta, read, setup, warnings)) {
        bool tree = graph.storage.size() < 300;
        for (const Item &item : graph.storage)
            for (const Item *c : item.ptrToConItems) tree = tree && c->parent == &item;
        if (tree) {
            LayoutContext ctx;
            ctx.trace = read.trace;
            if (setup.model == cliServ)
                layoutClientServer(ptrs.rootItemPtr, ptrs.subSystemPtr, 800, 600, ctx);
            else
                layoutNested(ptrs.rootItemPtr, ctx);
            std::string out = outputLayout(ptrs.rootItemPtr);
            // The layout read back gives every box again, to the six
            // decimals written (so within 1e-6), and writing it once more
            // gives the same text.
            std::vector<std::array<float, 4>> first;
            for (Item &item : graph.storage) {
                first.push_back({item.x, item.y, item.width, item.height});
                item.x = item.y = item.width = item.height = std::nanf("");
                item.hasBox = false;
            }
            MaybeFailure back = Control_ParseLayout(graph, out, nullptr);
            std::string again = back ? back->message : outputLayout(ptrs.rootItemPtr);
            bool same = again == out;
            size_t k = 0;
            for (const Item &item : graph.storage) {
                const std::array<float, 4> now{item.x, item.y, item.width, item.height};
                for (int v = 0; v < 4 && item.hasBox; ++v)
                    same = same && std::fabs(static_cast<double>(now[v]) - first[k][v]) <= 1e-6;
                ++k;
            }
            if (!same) {
                std::fwrite(out.data(), 1, out.size(), stdout);
                std::fputs("\n-- read back and written again, or a box moved:\n", stdout);
                std::fwrite(again.data(), 1, again.size(), stdout);
                std::fflush(stdout);
                std::abort();
            }
        }
        if (!Control_ParseLayout(graph, layoutText, read.trace) && (mode & 16)) {
            ItemTable newGraph;
            SystemPointers newPtrs;
            std::string newTa = std::string(ta) + "\ncontain s fuzz-new-item\n";
            if (!prepareGraph(newGraph, newPtrs, newTa, read, setup, warnings)) {
                if (setup.model == cliServ) {
                    tesselfix::identifyClientsAndServers(ptrs.rootItemPtr, ptrs.subSystemPtr);
                    tesselfix::identifyClientsAndServers(newPtrs.rootItemPtr, newPtrs.subSystemPtr);
                }
                if (!tesselfix::identifyNewAndOldEntities(graph, ptrs, newPtrs, read.trace)) {
                    tesselfix::Placement placement;
                    placement.settings.model = setup.model;
                    placement.settings.compress = static_cast<tesselfix::compressType>((mode >> 5) % 3);
                    placement.settings.SHRINK = (mode & 128) ? 0.001f : 1.0f;
                    placement.settings.relayoutCliServMode = mode & 2;
                    placement.settings.trace = read.trace;
                    tesselfix::Control_PosNewItems(placement, newPtrs);
                    (void)outputLayout(newPtrs.rootItemPtr);
                }
            }
        }
    }
    std::fclose(sink);
    return 0;
}
