// What the two exporters show of each node kind, in one table: the record
// levels, each with the fields of its base record that every kind of the
// level shows first, and for each kind its level and each field of its own
// record that either of them shows, with the node dump's line and the GXL
// attribute or link edge it becomes. Fields are named as the store's field
// table names them and resolved against a record of the level or the kind
// there. Labels, attribute and link names and orders are output format,
// their odd spellings included.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

#include "gd/kind_table.h"

namespace gdexport {

// The record levels: each has a row of the fields of its base record, the
// part of the record that every kind of the level shares and shows before
// its own (level_export_of).
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
// `otherwise`, or, when that is nullptr, the exporter's own way; either way
// `message`, when there is one, goes to the diagnostics with the value (and
// the node first where `message_names_node`).
struct choice_texts {
    const char *const *names;
    int count;
    const char *otherwise;
    const char *message;
    bool message_names_node;
};

enum class dump_form : uint8_t {
    none,            // not in the dump
    heading,         // no field: the prefix alone, the name of a level
    link,            // "@" and the node index
    number,          // the value
    number_or_none,  // the value, "<none>" for -1
    text,            // the pool string
    text_offset,     // the pool string and its offset in parentheses
    choice,          // the value's name
    choice_value,    // the value's name and the value in parentheses
    enum_text,       // the value's text in the field's enumeration; no line for a value without one
    decl_file,       // a declaration's source file: "<none>" when its line (`with`) is -1, else the
                     // pool string, or "<bad>" and the offset after a warning
    place_file,      // a Ririra node's file: the pool string or "???", then the offset in parentheses
    qualifiers,      // c, v and r for this bit and the two after it, a blank for each one clear
};

enum class gxl_form : uint8_t {
    none,
    boolean,
    number,
    string,
    real,
    choice,
    enum_text,   // a string attribute of the value's text in the field's enumeration; none without one
    decl_file,   // a string attribute of a declaration's source file, none when its line (`with`) is
                 // -1; a file outside the pool ends the document
    place_file,  // a Ririra node's file and line (`with` the other), each an attribute only when the
    place_line,  // file is a pool string and the line lies in 1 .. 9999999
    link,
};

// The values for which a field shows nothing at all.
enum class left_out : uint8_t { never, zero, none /* -1 */ };

// What both exporters do alike with the table's forms: whether a value is
// left out; the text of an enum_text field's value (nullptr when it has
// none); the message of a choice without a text for the value, when it has
// one, for node n.
inline bool is_left_out(left_out omit, int64_t value)
{
    return (omit == left_out::zero && value == 0) || (omit == left_out::none && value == -1);
}
const char *enum_text(const gd_field *field, int64_t value);
void report_unknown_choice(FILE *err, const choice_texts &c, node_ptr n, int64_t value);

// A field's line in the node dump: everything before the value, and how the
// value is shown.
struct dump_view {
    const char *prefix = nullptr;
    dump_form form = dump_form::none;
    const choice_texts *choice = nullptr;
    left_out omit = left_out::never;
};

// A field in the GXL element: an attribute of a form, or a link edge. A link
// name that begins with "_" is appended to the kind's record name ("_op0"
// of a minus_expr gives "minus_expr_op0"); any other name stands as it is.
// A level's attributes and links come first, in table order; a kind's own
// follow in table order, or, in a kind whose entries carry a rank, in the
// order of their ranks.
struct gxl_view {
    gxl_form form = gxl_form::none;
    const char *name = nullptr;
    const choice_texts *choice = nullptr;
    int rank = 0;
    left_out omit = left_out::never;
};

struct shown_field {
    const char *field;  // nullptr for a dump heading
    dump_view dump;
    gxl_view gxl;
    // The field that decides whether this one is shown, for the forms that
    // say so (a source position's line or file).
    const char *with = nullptr;
};

// A shown field resolved: `dump_field` and `dump_with` against the record
// the dump reads it with, `gxl_field` and `gxl_with` against the record the
// GXL element reads it with; nullptr where the view shows nothing of it.
struct export_field {
    const shown_field *entry;
    const gd_field *dump_field;
    const gd_field *gxl_field;
    const gd_field *dump_with;
    const gd_field *gxl_with;
};

// One kind's entry, its own fields resolved: the dump's against the record
// the dump reads the kind with, GXL's against the kind's own.
struct kind_export {
    export_level gxl_level = export_level::unhandled;
    export_level dump_level = export_level::unhandled;
    using field = export_field;
    std::span<const field> fields;
    // tree_vec: the elements in use after the fields (dump lines, GXL relation).
    bool elements = false;
};

// The entry of any kind value; values beyond the table share the unhandled one.
const kind_export &kind_export_of(int kind);

// What a level shows before a kind's own fields: in the dump, the lines of
// the levels it derives from and its own; in GXL, the attributes and links
// of the levels it derives from and its own; each in the order shown, every
// field with a form in its view. The Ririra levels derive from the common
// head in the dump only. Levels without a base part (skipped, unhandled,
// none) show nothing.
struct level_export {
    std::span<const export_field> dump;
    std::span<const export_field> gxl;
};
const level_export &level_export_of(export_level level);

}  // namespace gdexport
