// The export table: what the node dump and the GXL element show of each
// kind, each field resolved against the record it is read with.
#include "gd/export/kind_exports.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using gdexport::export_level;
using gdexport::kind_export_of;

// Every field a kind shows is one of its record's (the table stops the
// program on any other), and each view has the field it reads.
TEST(KindExports, EveryShownFieldIsResolved)
{
    for (int k = 0; k <= NUM_NODES; k++) {
        for (const gdexport::kind_export::field &f : kind_export_of(k).fields) {
            EXPECT_EQ(f.dump_field != nullptr, f.entry->dump.form != gdexport::dump_form::none)
                << k << " " << f.entry->field;
            EXPECT_EQ(f.gxl_field != nullptr, f.entry->gxl.form != gdexport::gxl_form::none)
                << k << " " << f.entry->field;
        }
    }
}

// Every field a level shows is one of its base record's, but the dump's
// headings, which show none; the forms that look at a second field have it.
TEST(KindExports, EveryLevelFieldIsResolved)
{
    using gdexport::dump_form;
    using gdexport::gxl_form;
    for (int l = 0; l <= (int)export_level::arc_syntax; l++) {
        const gdexport::level_export &level = gdexport::level_export_of((export_level)l);
        for (const gdexport::export_field &f : level.dump) {
            EXPECT_EQ(f.dump_field != nullptr, f.entry->dump.form != dump_form::heading)
                << l << " " << f.entry->dump.prefix;
            if (f.entry->dump.form == dump_form::decl_file) {
                EXPECT_NE(f.dump_with, nullptr) << l;
            }
        }
        for (const gdexport::export_field &f : level.gxl) {
            EXPECT_NE(f.gxl_field, nullptr) << l << " " << f.entry->gxl.name;
            const gxl_form form = f.entry->gxl.form;
            if (form == gxl_form::decl_file || form == gxl_form::place_file || form == gxl_form::place_line) {
                EXPECT_NE(f.gxl_with, nullptr) << l << " " << f.entry->gxl.name;
            }
        }
    }
}

// The common head shows its eight flags, byte 2 from bit 0 up: GXL as the
// compiler levels' first attributes and never on a Ririra node; the dump on
// every node, after the kind.
TEST(KindExports, CommonFlagsInRecordOrder)
{
    auto gxl_names = [](export_level l) {
        std::vector<std::string> names;
        for (const gdexport::export_field &f : gdexport::level_export_of(l).gxl)
            if (f.entry->gxl.form == gdexport::gxl_form::boolean) names.push_back(f.entry->gxl.name);
        return names;
    };
    const std::vector<std::string> flags = {"constant_flag", "volatile_flag", "readonly_flag",
                                            "unsigned_flag", "static_flag",   "public_flag",
                                            "private_flag",  "protected_flag"};
    EXPECT_EQ(gxl_names(export_level::common), flags);
    const gdexport::level_export &common = gdexport::level_export_of(export_level::common);
    for (size_t i = 0; i < common.gxl.size(); i++) {
        EXPECT_EQ(common.gxl[i].gxl_field->offset, 2);
        EXPECT_EQ(common.gxl[i].gxl_field->bit, i);
    }
    EXPECT_EQ(gxl_names(export_level::asg_nd), std::vector<std::string>{});
    EXPECT_EQ(gxl_names(export_level::arc_syntax), std::vector<std::string>{});
    for (export_level l : {export_level::decl, export_level::scope, export_level::arc_reference}) {
        const gdexport::level_export &level = gdexport::level_export_of(l);
        ASSERT_GE(level.dump.size(), common.dump.size());
        for (size_t i = 0; i < common.dump.size(); i++) EXPECT_EQ(level.dump[i].entry, common.dump[i].entry);
    }
}

// The two exporters open a kind with the same level, but for the few kinds
// whose dump has always differed; kinds listed nowhere have no body in either.
TEST(KindExports, LevelsDifferOnlyWhereTheDumpAlwaysDid)
{
    std::set<int> different;
    for (int k = 0; k <= NUM_NODES; k++)
        if (kind_export_of(k).dump_level != kind_export_of(k).gxl_level) different.insert(k);
    EXPECT_EQ(different, (std::set<int>{gCOMPOUND_EXPR, gPLACEHOLDER_EXPR, gEXIT_BLOCK_EXPR, gEH_SPEC_BLOCK,
                                        gAMBIG_CONV}));
    for (int k : {int(gIMAGPART_EXPR), int(gEXC_PTR_EXPR), int(gSRCLOC), int(gUSING_STMT), int(dC_SYSTEM),
                  int(NUM_NODES), NUM_NODES + 1, -1, 65535}) {
        EXPECT_EQ(kind_export_of(k).gxl_level, export_level::unhandled) << k;
        EXPECT_TRUE(kind_export_of(k).fields.empty()) << k;
    }
    EXPECT_EQ(kind_export_of(gEH_SPEC_BLOCK).dump_level, export_level::none);
    EXPECT_TRUE(kind_export_of(gTREE_VEC).elements);
}

// Four casts without operand fields of their own show, in the dump only,
// the operands where the two-operand casts keep them.
TEST(KindExports, CastsWithoutOperandsReadTheTwoOperandLayout)
{
    const gdexport::kind_export &k = kind_export_of(gDYNAMIC_CAST_EXPR);
    ASSERT_EQ(k.fields.size(), 2u);
    EXPECT_EQ(k.fields[0].dump_field, gd_find_field(gd_kind_info_of(gCAST_EXPR), "op0"));
    EXPECT_EQ(k.fields[1].dump_field, gd_find_field(gd_kind_info_of(gCAST_EXPR), "op1"));
    EXPECT_EQ(k.fields[0].gxl_field, nullptr);
}

}  // namespace
