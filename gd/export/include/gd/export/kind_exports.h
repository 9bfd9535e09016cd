// What the two exporters show of each node kind, in one table: the record
// level a kind's node dump block and GXL element open with, and each field
// of the kind's own record that either of them shows, with the node dump's
// line and the GXL attribute or link edge it becomes. Fields are named as
// the store's field table names them and resolved against the kind's record
// there. Labels, attribute and link names and orders are output format,
// their odd spellings included.
#pragma once

#include <cstdint>
#include <span>

#include "gd/kind_table.h"

namespace gdexport {

// The record levels, each with its node dump printer and its GXL level
// writers (the part of the record that every kind of the level shares).
enum class export_level : uint8_t {
  skipped,    // a free or unassigned slot: a line of its own in the dump, no GXL element
  unhandled,  // no body: the raw record in the dump, a diagnostic in GXL
  none,       // no level lines at all (the dump of an eh_spec_block)
  common,
  type,
  cst,
  decl,
  expr,
  asg_nd,
  identifier,
  ririra_type,
  scope,
  object,
  label,
  expression,
  ririra_operator,
  ctrl_stmt,
  jump,
  loop,
  comment,
  arc,
  arc_reference,
  arc_syntax,
};

// The texts of an enumerated field by value. Any other value shows
// `otherwise`, or, when that is nullptr, the exporter's own way with
// `message` (given the value, and for the dump first the node).
struct choice_texts {
  const char *const *names;
  int count;
  const char *otherwise;
  const char *message;
};

enum class dump_form : uint8_t {
  none,         // not in the dump
  link,         // "@" and the node index
  number,       // the value
  text,         // the pool string
  text_offset,  // the pool string and its offset in parentheses
  choice,       // the value's name
};

enum class gxl_form : uint8_t { none, boolean, number, string, real, choice, link };

// A field's line in the node dump: everything before the value, and how the
// value is shown.
struct dump_view {
  const char *prefix = nullptr;
  dump_form form = dump_form::none;
  const choice_texts *choice = nullptr;
};

// A field in the GXL element: an attribute of a form, or a link edge. A link
// name that begins with "_" is appended to the kind's record name ("_op0"
// of a minus_expr gives "minus_expr_op0"); any other name stands as it is.
// Attributes and links are written in table order, or, in a kind whose
// entries carry a rank, in the order of their ranks.
struct gxl_view {
  gxl_form form = gxl_form::none;
  const char *name = nullptr;
  const choice_texts *choice = nullptr;
  int rank = 0;
};

// The visibility texts of identifiers and inheritance arcs, in the node dump
// and in GXL.
extern const choice_texts dump_visb_choice;
extern const choice_texts gxl_visb_choice;

struct shown_field {
  const char *field;
  dump_view dump;
  gxl_view gxl;
};

// One kind's entry, its fields resolved: `dump_field` against the record the
// dump reads the kind with, `gxl_field` against the kind's own.
struct kind_export {
  export_level gxl_level = export_level::unhandled;
  export_level dump_level = export_level::unhandled;
  struct field {
    const shown_field *entry;
    const gd_field *dump_field;
    const gd_field *gxl_field;
  };
  std::span<const field> fields;
  // tree_vec: the elements in use after the fields (dump lines, GXL relation).
  bool elements = false;
};

// The entry of any kind value; values beyond the table share the unhandled one.
const kind_export &kind_export_of(int kind);

}  // namespace gdexport
