// The GXL export of a gd graph: the document, its element and attribute
// forms, and the element table that says, kind by kind, what each node's
// element holds.
//
// Every live slot becomes one element, in slot order: a node element for the
// compiler-tree and Ririra node kinds, an edge element for the Ririra arc
// kinds. Scalar fields become typed attribute elements inside the element;
// the pointer fields of compiler-tree kinds become link edges that follow the
// node element. Type lines refer into the schema document "gd.xml" by the
// kind's or the link's name.
//
// Text from the graph is written so that the document is always well-formed
// XML 1.0: markup characters become entity references; a character encoded
// in UTF-8 becomes a character reference of its code point; TAB, LF, CR, 0x7F
// and every other byte from 0x80 up (Latin-1 text) become character
// references of the byte's value; and the control bytes that XML 1.0 forbids
// even as references (0x01 to 0x08, 0x0B, 0x0C, 0x0E to 0x1F), like the
// characters U+FFFE and U+FFFF, are each written as the one substitute
// gxl_forbidden_byte_substitute, the reference to U+FFFD REPLACEMENT CHARACTER.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "gd/export/kind_exports.h"
#include "gd/kind_table.h"
#include "gd/text_out.h"

namespace gxl {

inline constexpr const char *gxl_forbidden_byte_substitute = "&#xfffd;";

// ---------------------------------------------------------------------------
// Output primitives: each writes whole lines.

void write_gxl_type(gd_text_out &out, std::string_view type_name);
// Nothing when `to` is -1; any other target is written, also a dangling one.
void write_edge(gd_text_out &out, node_ptr from, node_ptr to, std::string_view link);
void write_boolean_attr(gd_text_out &out, std::string_view name, int64_t value);
void write_number_attr(gd_text_out &out, std::string_view name, int32_t value);
void write_double_attr(gd_text_out &out, std::string_view name, const char *text);
void write_string_attr(gd_text_out &out, std::string_view name, const char *text);
// Writes text escaped as above, up to its terminating NUL.
void write_escaped(gd_text_out &out, const char *text);

// ---------------------------------------------------------------------------
// The element table

// The record level that opens an element's body: the attributes and links
// of the base records, which the kind's own follow.
using gxl_level = gdexport::export_level;

// The attribute forms and the texts of enumerated fields, as the export
// table gives them.
using gxl_form = gdexport::gxl_form;
using gxl_choice = gdexport::choice_texts;

// The body of a kind's element, from the export table: its level, and the
// attributes and links of the level and then of the kind's own fields in
// the order they are written, each with its field resolved against a record
// of the level or the kind.
struct gxl_body {
    gxl_level level = gxl_level::unhandled;
    struct attr {
        const gdexport::gxl_view *entry;
        // The entry's form, omission and name, at hand for the writer.
        gxl_form form;
        gdexport::left_out omit;
        std::string_view name;
        const gd_field *field;
        const gd_field *with;  // the field that decides whether it is written, for the forms that have one
    };
    struct link {
        std::string name;
        const gd_field *field;
    };
    std::vector<attr> attrs;
    std::vector<link> links;
    // tree_vec: after its links, one relation element listing its elements.
    bool elements_relation = false;
};

// The body of any kind value; values beyond the table share the unhandled one.
const gxl_body &gxl_body_of(int kind);

// ---------------------------------------------------------------------------
// The document

// Writes the element of slot i (with the link edges that follow a node
// element). Returns false when the node ends the document (a declaration's
// source file outside the pool, an unknown aggregate code): the message is on
// `err` and the element stays unterminated.
bool write_gxl_element(FILE *out, FILE *err, const gd_graph *g, node_ptr i);

// Writes the whole document for graph g with the given graph id (the file
// name). Returns 0, or 1 when a node ended it early (see write_gxl_element).
int write_gxl_document(FILE *out, FILE *err, const gd_graph *g, const char *graph_id);

}  // namespace gxl
