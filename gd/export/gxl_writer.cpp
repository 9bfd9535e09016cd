// The GXL document: output primitives, the attribute forms and the loop over
// the slots. What each kind's element holds, its record level's attributes
// and links and its own, is in the element table (gxl_elements.cpp).
#include "gd/export/gxl.h"
#include "gd/export/program_io.h"

namespace gxl {

// ---------------------------------------------------------------------------
// Output primitives

void write_gxl_type(gd_text_out &out, std::string_view type_name)
{
    text_put(out, "   <type xlink:href=\"gd.xml#");
    text_put(out, type_name);
    text_put(out, "\" />\n");
}

void write_edge(gd_text_out &out, node_ptr from, node_ptr to, std::string_view link)
{
    if (to == -1) return;
    text_put(out, "  <edge from=\"n");
    text_put_int(out, from);
    text_put(out, "\" to=\"n");
    text_put_int(out, to);
    text_put(out, "\">\n");
    write_gxl_type(out, link);
    text_put(out, "  </edge>\n");
}

void write_boolean_attr(gd_text_out &out, std::string_view name, int64_t value)
{
    text_put(out, "   <attr name=\"");
    text_put(out, name);
    text_put(out, value ? "\"><bool>true</bool></attr>\n" : "\"><bool>false</bool></attr>\n");
}

void write_number_attr(gd_text_out &out, std::string_view name, int32_t value)
{
    text_put(out, "   <attr name=\"");
    text_put(out, name);
    text_put(out, "\"><int>");
    text_put_int(out, value);
    text_put(out, "</int></attr>\n");
}

void write_double_attr(gd_text_out &out, std::string_view name, const char *text)
{
    text_put(out, "   <attr name=\"");
    text_put(out, name);
    text_put(out, "\"><double>");
    write_escaped(out, text);
    text_put(out, "</double></attr>\n");
}

void write_string_attr(gd_text_out &out, std::string_view name, const char *text)
{
    text_put(out, "   <attr name=\"");
    text_put(out, name);
    text_put(out, "\"><string>");
    write_escaped(out, text);
    text_put(out, "</string></attr>\n");
}

namespace {

// Control bytes that no XML 1.0 document may hold, not even as a reference.
bool forbidden_in_xml(unsigned char c)
{
    return (c >= 0x01 && c <= 0x08) || c == 0x0B || c == 0x0C || (c >= 0x0E && c <= 0x1F);
}

// The character that a well-formed UTF-8 sequence of two to four bytes at p
// encodes (shortest form, no surrogate, at most U+10FFFF), with its length
// in `length`; -1 when the bytes at p are no such sequence.
long utf8_character(const unsigned char *p, int *length)
{
    int n;
    long c;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        n = 2;
        c = p[0] & 0x1F;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        n = 3;
        c = p[0] & 0x0F;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        n = 4;
        c = p[0] & 0x07;
    } else {
        return -1;
    }
    // A NUL ends the text and is no continuation byte, so this stops there.
    for (int k = 1; k < n; k++) {
        if ((p[k] & 0xC0) != 0x80) return -1;
        c = c << 6 | (p[k] & 0x3F);
    }
    static const long shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < shortest[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return -1;
    *length = n;
    return c;
}

}  // namespace

namespace {

// The bytes that stand for themselves: the C locale's printable class, 0x20
// to 0x7E, but for the five that are markup.
struct plain_bytes {
    bool plain[256] = {};
    constexpr plain_bytes()
    {
        for (int c = 0x20; c <= 0x7E; c++)
            plain[c] = c != '"' && c != '&' && c != '\'' && c != '<' && c != '>';
    }
};
constexpr plain_bytes plain_table;

}  // namespace

void write_escaped(gd_text_out &out, const char *text)
{
    const unsigned char *p = (const unsigned char *)text;
    for (;;) {
        // A run of plain bytes goes out in one piece.
        const unsigned char *run = p;
        while (plain_table.plain[*p]) p++;
        if (p != run) text_put(out, std::string_view((const char *)run, (size_t)(p - run)));
        const unsigned char c = *p;
        if (c == 0) return;
        // A character in UTF-8 is written as a reference to it; the two that
        // XML 1.0 forbids become the substitute. Every other byte from 0x80 up
        // (Latin-1 text, say) is a reference to the byte's own value.
        int length;
        if (c >= 0x80) {
            const long character = utf8_character(p, &length);
            if (character == 0xFFFE || character == 0xFFFF) {
                text_put(out, gxl_forbidden_byte_substitute);
                p += length;
                continue;
            }
            if (character != -1) {
                text_put(out, "&#x");
                text_put_hex(out, (uint64_t)character);
                text_put(out, ';');
                p += length;
                continue;
            }
        }
        switch (c) {
        case '"': text_put(out, "&quot;"); break;
        case '&': text_put(out, "&amp;"); break;
        case '\'': text_put(out, "&apos;"); break;
        case '<': text_put(out, "&lt;"); break;
        case '>': text_put(out, "&gt;"); break;
        default:
            if (forbidden_in_xml(c)) {
                text_put(out, gxl_forbidden_byte_substitute);
            } else {
                text_put(out, "&#x");
                text_put_hex(out, c);
                text_put(out, ';');
            }
        }
        p++;
    }
}

namespace {

// ---------------------------------------------------------------------------
// The node being written

struct element {
    gd_text_out &out;
    FILE *err;
    const gd_graph *g;
    node_ptr i;
    const gd_graph_node &rec;
};

// A string attribute from the pool. -1 is no string and writes nothing; any
// other offset outside the pool is reported and its attribute left out.
void write_pool_attr(const element &e, void (*write)(gd_text_out &, std::string_view, const char *),
                     std::string_view name, str_ptr off)
{
    if (off == -1) return;
    const char *text = string_at(e.g, off);
    if (!text) {
        fprintf(e.err, "graphxml: node %d: string offset %d is outside the string pool\n", e.i, off);
        return;
    }
    write(e.out, name, text);
}

// The text of `value` from `c`, after its message when it has no text for
// the value and a message; nullptr when it has neither text nor `otherwise`
// (the message then is fatal). The comparison is unsigned, so negative codes
// are unknown too.
const char *choice_text(const element &e, const gxl_choice &c, int64_t value)
{
    if ((uint64_t)value < (uint64_t)c.count) return c.names[value];
    gdexport::report_unknown_choice(e.err, c, e.i, value);
    return c.otherwise;
}

// A Ririra node's source position is written only when it is a plausible
// one: a file in the pool and a line number of at most seven digits.
bool place_known(const element &e, str_ptr file, int64_t line)
{
    return string_at(e.g, file) != nullptr && line >= 1 && line <= 9999999;
}

// Writes one attribute of the element. False when the node ends the
// document.
bool write_attr(const element &e, const gxl_body::attr &a)
{
    const int64_t v = gd_field_get(&e.rec, a.field);
    const std::string_view name = a.name;
    if (gdexport::is_left_out(a.omit, v)) return true;
    switch (a.form) {
    case gxl_form::boolean: write_boolean_attr(e.out, name, v); break;
    case gxl_form::number: write_number_attr(e.out, name, (int32_t)v); break;
    case gxl_form::string: write_pool_attr(e, write_string_attr, name, (str_ptr)v); break;
    case gxl_form::real: write_pool_attr(e, write_double_attr, name, (str_ptr)v); break;
    case gxl_form::choice: {
        const char *text = choice_text(e, *a.entry->choice, v);
        if (!text) return false;
        write_string_attr(e.out, name, text);
        break;
    }
    case gxl_form::enum_text:
        if (const char *text = gdexport::enum_text(a.field, v)) write_string_attr(e.out, name, text);
        break;
    case gxl_form::decl_file: {
        if (gd_field_get(&e.rec, a.with) == -1) break;
        const char *file = string_at(e.g, (str_ptr)v);
        if (!file) {
            fputs("string index is out of bounds\n", e.err);
            return false;
        }
        write_string_attr(e.out, name, file);
        break;
    }
    case gxl_form::place_file:
        if (place_known(e, (str_ptr)v, gd_field_get(&e.rec, a.with)))
            write_string_attr(e.out, name, string_at(e.g, (str_ptr)v));
        break;
    case gxl_form::place_line:
        if (place_known(e, (str_ptr)gd_field_get(&e.rec, a.with), v))
            write_number_attr(e.out, name, (int32_t)v);
        break;
    case gxl_form::link:
    case gxl_form::none: break;
    }
    return true;
}

// The relation element of a tree_vec: the vector, then each element in use
// with its position.
void write_elements_relation(const element &e)
{
    const t_tree_vec &v = e.rec.tree_vec;
    text_put(e.out, "  <rel><relend role=\"array\" target=\"n");
    text_put_int(e.out, e.i);
    text_put(e.out, "\" direction=\"in\"/>\n");
    int n = gdexport::tree_vec_elements(e.err, "graphxml", e.i, e.rec);
    for (int j = 0; j < n; j++)
        if (v.elts[j] != -1) {
            text_put(e.out, "       <relend role=\"elt\" target=\"n");
            text_put_int(e.out, v.elts[j]);
            text_put(e.out, "\" direction=\"out\" outorder=\"");
            text_put_int(e.out, j);
            text_put(e.out, "\"/>\n");
        }
    text_put(e.out, "  </rel>\n");
}

void report_unhandled(const element &e, int kind)
{
    fprintf(e.err, "Node number %d\n", e.i);
    fprintf(e.err, "unknown node type: %d\n", kind);
    fputs("node data:\n", e.err);
    gdexport::dump_record_bytes(e.err, e.rec);
}

bool write_element(gd_text_out &out, FILE *err, const gd_graph *g, node_ptr i)
{
    const gd_graph_node &rec = g->nodeBuffer[i];
    const element e{out, err, g, i, rec};
    const int kind = rec.common.type;
    const gxl_body &body = gxl_body_of(kind);
    if (body.level == gxl_level::skipped) return true;

    if (is_arc_kind(kind)) {
        text_put(out, "  <edge from=\"n");
        text_put_int(out, rec.dc_arc.src);
        text_put(out, "\" to=\"n");
        text_put_int(out, rec.dc_arc.dest);
        text_put(out, "\">\n");
    } else {
        text_put(out, "  <node id=\"n");
        text_put_int(out, i);
        text_put(out, "\">\n");
    }
    write_gxl_type(out, gd_kind_name(kind));

    if (body.level == gxl_level::unhandled) report_unhandled(e, kind);
    for (const gxl_body::attr &a : body.attrs)
        if (!write_attr(e, a)) return false;

    if (is_arc_kind(kind)) {
        text_put(out, "  </edge>\n");
        return true;
    }
    text_put(out, "  </node>\n");
    for (const gxl_body::link &l : body.links)
        write_edge(out, i, (node_ptr)gd_field_get(&rec, l.field), l.name);
    if (body.elements_relation) write_elements_relation(e);
    return true;
}

}  // namespace

bool write_gxl_element(FILE *out, FILE *err, const gd_graph *g, node_ptr i)
{
    gd_text_out text(out);
    return write_element(text, err, g, i);
}

int write_gxl_document(FILE *out, FILE *err, const gd_graph *g, const char *graph_id)
{
    gd_text_out text(out);
    text_put(text, "<?xml version=\"1.0\"?>\n"
                   "<!DOCTYPE gxl SYSTEM \"gxl-1-0.dtd\">\n"
                   "<gxl xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n"
                   " <graph id=\"");
    write_escaped(text, graph_id);
    text_put(text, "\">\n");
    for (uint32_t i = 0; i < g->curNodePos; i++)
        if (!write_element(text, err, g, (node_ptr)i)) return 1;
    text_put(text, " </graph>\n</gxl>\n");
    return 0;
}

}  // namespace gxl
