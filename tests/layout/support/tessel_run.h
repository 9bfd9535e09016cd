// The layout tessel computes for a TA text, in process, for the tests of the
// layered and client/server layouts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tessel/tessel_program.h"

namespace layout_test {

inline std::string tesselLayout(const std::string &ta, layout::layoutModel model, int width = 800,
                                int height = 600, const char *input = "dir/sys.o.ta")
{
    layout::tessel::Options options;
    options.model = model;
    options.windowWidth = width;
    options.windowHeight = height;
    options.inputTupleFile = input;
    std::string text;
    layout::MaybeFailure o = layout::tessel::computeLayout(ta, options, nullptr, text);
    EXPECT_FALSE(o) << o->message;
    return text;
}

}  // namespace layout_test
