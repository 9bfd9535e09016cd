// The record of a node where the caller knows its kind: a node it has just
// made, or one whose kind it has tested. record<T> (graph.h) answers nullptr
// where a graph read from a file may hold another kind; record_of is for the
// places where another kind would be a fault of the code, not of the graph.
#pragma once

#include "gd/graph.h"

// The name of each record type, for messages.
template <class T> inline constexpr const char *gd_record_name = "record";
#define GD_KINDFIELD(n, off)
#define GD_NODE(n, off)
#define GD_NODES(n, off, count)
#define GD_STR(n, off)
#define GD_INT(n, off)
#define GD_UINT(n, off)
#define GD_ENUM(n, type, off)
#define GD_BIT(n, byte, bit)
#define GD_BITS(n, type, byte, bit, width)
#define GD_ROOT(rec, bytes, fields) template <> inline constexpr const char *gd_record_name<rec> = #rec;
#define GD_RECORD(rec, base, bytes, fields)                                                                  \
    template <> inline constexpr const char *gd_record_name<rec> = #rec;
#define GD_ALIAS(rec, same)
#include "gd/node_records.def"

// The record of node i as a T where the caller knows it is one: a node it has
// just made, or one whose kind it has tested. When it is not (a fault of the
// caller, not of the graph), the program stops through gd_fatal after a
// message naming the node, rather than writing into another kind's record.
[[noreturn]] void gd_record_fault(const gd_graph *g, node_ptr i, const char *record_name);
template <class T> inline T &record_of(gd_graph *g, node_ptr i)
{
    if (T *r = record<T>(g, i)) return *r;
    gd_record_fault(g, i, gd_record_name<T>);
}
template <class T> inline const T &record_of(const gd_graph *g, node_ptr i)
{
    return record_of<T>(const_cast<gd_graph *>(g), i);
}
