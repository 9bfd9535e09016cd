// libFuzzer target over the TA tuple reader and the layout-file reader.  The
// first byte picks the reader options; the rest is split at the first NUL
// into a TA text and a layout text.  Small acyclic trees are laid out too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "common/layout_file.h"
#include "common/tree.h"
#include "tessel/cliserv_layout.h"
#include "tessel/layered_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace layout;
    if (size == 0) return 0;
    uint8_t mode = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t split = rest.find('\0');
    std::string_view ta = rest.substr(0, split);
    std::string_view layoutText = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);

    FILE* sink = std::fopen("/dev/null", "w");
    ItemTable graph;
    SystemPointers ptrs;
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
    if (!prepareGraph(graph, ptrs, ta, read, setup)) {
        bool tree = graph.storage.size() < 300;
        for (const Item& item : graph.storage)
            for (const Item* c : item.ptrToConItems) tree = tree && c->parent == &item;
        if (tree) {
            LayoutContext ctx;
            ctx.trace = read.trace;
            if (setup.model == cliServ) layoutClientServer(ptrs.rootItemPtr, ptrs.subSystemPtr, 800, 600, ctx);
            else layoutNested(ptrs.rootItemPtr, ctx);
            std::string out = outputLayout(ptrs.rootItemPtr);
            (void)Control_ParseLayout(graph, out, nullptr);
        }
        (void)Control_ParseLayout(graph, layoutText, read.trace);
    }
    std::fclose(sink);
    return 0;
}
