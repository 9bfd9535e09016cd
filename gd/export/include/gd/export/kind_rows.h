// The export tables are written as rows that each list the kinds sharing one
// body and name the record fields they show; these turn such a table into
// one entry per kind code, with every field resolved against the record it
// is read from. A mistake in a table (a kind in two rows, a field the record
// lacks) stops the program at its first use, so any test that touches the
// table finds it.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "gd/kind_table.h"

namespace gdexport {

// The field called `name` of the record of kind `layout_kind` ("type" is
// the kind itself in a record without a field of that name).
const gd_field *table_field(const char *table, int layout_kind, const char *name);

// The entries of `rows` by kind: make(kind, row) for each kind a row lists;
// kinds listed nowhere keep a default Body.
template <class Body, class Row, class Make>
std::array<Body, NUM_NODES + 1> bodies_by_kind(const char *table, std::span<const Row> rows, Make make)
{
    std::array<Body, NUM_NODES + 1> bodies{};
    std::array<bool, NUM_NODES + 1> listed{};
    for (const Row &r : rows)
        for (int kind : r.kinds) {
            if (listed[kind]) {
                fprintf(stderr, "%s: kind %s is listed twice\n", table, gd_kind_name(kind));
                abort();
            }
            listed[kind] = true;
            bodies[kind] = make(kind, r);
        }
    return bodies;
}

}  // namespace gdexport
