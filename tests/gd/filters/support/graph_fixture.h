// Graphs for the filter tests, written in the text form of a gd graph.
#pragma once

#include <gd/graph.h>
#include "../../text_graph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A graph compiled from its text form, released when the test ends.
struct text_graph {
    gd_graph g = gd_empty_graph();

    explicit text_graph(const char *text) : g(compile_text_graph(text)) {}
    ~text_graph() { deallocate_gd_graph(g); }
    text_graph(const text_graph &) = delete;
    text_graph &operator=(const text_graph &) = delete;

    std::string dump() const { return gd_text_dump(&g); }

    // The first `count` records of the free list, from its head.
    std::vector<node_ptr> free_list_head(std::size_t count) const
    {
        std::vector<node_ptr> list;
        for (node_ptr i = g.firstFreeNode; i >= 0 && uint32_t(i) < g.nodeBuffLen && list.size() < count;
             i = gd_next_free(&g, i))
            list.push_back(i);
        return list;
    }
};
