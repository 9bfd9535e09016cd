// The export table: what the node dump and the GXL element show of each
// kind, each field resolved against the record it is read with.
#include "gd/export/kind_exports.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using gdexport::export_level;
using gdexport::kind_export_of;

// Every field a kind shows is one of its record's (the table stops the
// program on any other), and each view has the field it reads.
TEST(KindExports, EveryShownFieldIsResolved) {
  for (int k = 0; k <= NUM_NODES; k++) {
    for (const gdexport::kind_export::field &f : kind_export_of(k).fields) {
      EXPECT_EQ(f.dump_field != nullptr, f.entry->dump.form != gdexport::dump_form::none) << k << " " << f.entry->field;
      EXPECT_EQ(f.gxl_field != nullptr, f.entry->gxl.form != gdexport::gxl_form::none) << k << " " << f.entry->field;
    }
  }
}

// The two exporters open a kind with the same level, but for the few kinds
// whose dump has always differed; kinds listed nowhere have no body in either.
TEST(KindExports, LevelsDifferOnlyWhereTheDumpAlwaysDid) {
  std::set<int> different;
  for (int k = 0; k <= NUM_NODES; k++)
    if (kind_export_of(k).dump_level != kind_export_of(k).gxl_level) different.insert(k);
  EXPECT_EQ(different, (std::set<int>{gCOMPOUND_EXPR, gPLACEHOLDER_EXPR, gEXIT_BLOCK_EXPR, gEH_SPEC_BLOCK, gAMBIG_CONV}));
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
TEST(KindExports, CastsWithoutOperandsReadTheTwoOperandLayout) {
  const gdexport::kind_export &k = kind_export_of(gDYNAMIC_CAST_EXPR);
  ASSERT_EQ(k.fields.size(), 2u);
  EXPECT_EQ(k.fields[0].dump_field, gd_find_field(gd_kind_info_of(gCAST_EXPR), "op0"));
  EXPECT_EQ(k.fields[1].dump_field, gd_find_field(gd_kind_info_of(gCAST_EXPR), "op1"));
  EXPECT_EQ(k.fields[0].gxl_field, nullptr);
}

}  // namespace
