// Turning the export tables' rows into entries by kind.
#include "gd/export/kind_rows.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

TEST(KindRows, FieldsAreThoseOfTheNamedRecord)
{
    EXPECT_EQ(gdexport::table_field("t", gUNION_TYPE, "ptd")->offset, 40);
    EXPECT_EQ(gdexport::table_field("t", gRECORD_TYPE, "ptd")->offset, 44);
    // A record's own flag, not the common head's flag of the same name.
    const gd_field *own = gdexport::table_field("t", dC_FUNCTION, "static_flag");
    EXPECT_EQ(own->offset, 40);
    EXPECT_EQ(own->bit, 0);
    EXPECT_DEATH(gdexport::table_field("t", gUNION_TYPE, "isClass"),
                 "t: kind union_type has no field isClass");
    // "type" is the kind itself only where the record has no field of the name.
    EXPECT_EQ(gdexport::table_field("t", gERROR_MARK, "type")->type, GD_FT_KIND);
    EXPECT_EQ(gdexport::table_field("t", gLABEL_DECL, "type")->offset, 16);
    EXPECT_EQ(gdexport::table_field("t", dC_LITERAL, "type")->offset, 24);
}

struct row {
    std::initializer_list<int> kinds;
    int value;
};

TEST(KindRows, EntriesByKind)
{
    const row rows[] = {{{gPLUS_EXPR, gMINUS_EXPR}, 7}, {{dC_ARC}, 9}};
    auto bodies = gdexport::bodies_by_kind<int, row>("t", rows, [](int kind, const row &r) {
        (void)kind;
        return r.value;
    });
    EXPECT_EQ(bodies[gPLUS_EXPR], 7);
    EXPECT_EQ(bodies[gMINUS_EXPR], 7);
    EXPECT_EQ(bodies[dC_ARC], 9);
    EXPECT_EQ(bodies[gMULT_EXPR], 0);
    const row twice[] = {{{gPLUS_EXPR}, 1}, {{gPLUS_EXPR}, 2}};
    EXPECT_DEATH((gdexport::bodies_by_kind<int, row>("t", twice, [](int, const row &r) { return r.value; })),
                 "t: kind plus_expr is listed twice");
}

}  // namespace
