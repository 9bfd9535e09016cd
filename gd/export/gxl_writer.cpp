// The GXL document: output primitives, the level writers (one per record
// level, each writing the levels it derives from first) and the loop over
// the slots. What each kind's element holds beyond its level is in the
// element table (gxl_elements.cpp).
#include "gd/export/gxl.h"
#include "gd/export/kind_rows.h"
#include "gd/export/program_io.h"

namespace gxl {

// ---------------------------------------------------------------------------
// Output primitives

void write_gxl_type(gd_text_out &out, std::string_view type_name) {
  text_put(out, "   <type xlink:href=\"gd.xml#");
  text_put(out, type_name);
  text_put(out, "\" />\n");
}

void write_edge(gd_text_out &out, node_ptr from, node_ptr to, std::string_view link) {
  if (to == -1) return;
  text_put(out, "  <edge from=\"n");
  text_put_int(out, from);
  text_put(out, "\" to=\"n");
  text_put_int(out, to);
  text_put(out, "\">\n");
  write_gxl_type(out, link);
  text_put(out, "  </edge>\n");
}

void write_boolean_attr(gd_text_out &out, std::string_view name, int64_t value) {
  text_put(out, "   <attr name=\"");
  text_put(out, name);
  text_put(out, value ? "\"><bool>true</bool></attr>\n" : "\"><bool>false</bool></attr>\n");
}

void write_number_attr(gd_text_out &out, std::string_view name, int32_t value) {
  text_put(out, "   <attr name=\"");
  text_put(out, name);
  text_put(out, "\"><int>");
  text_put_int(out, value);
  text_put(out, "</int></attr>\n");
}

void write_double_attr(gd_text_out &out, std::string_view name, const char *text) {
  text_put(out, "   <attr name=\"");
  text_put(out, name);
  text_put(out, "\"><double>");
  write_escaped(out, text);
  text_put(out, "</double></attr>\n");
}

void write_string_attr(gd_text_out &out, std::string_view name, const char *text) {
  text_put(out, "   <attr name=\"");
  text_put(out, name);
  text_put(out, "\"><string>");
  write_escaped(out, text);
  text_put(out, "</string></attr>\n");
}

namespace {

// Control bytes that no XML 1.0 document may hold, not even as a reference.
bool forbidden_in_xml(unsigned char c) {
  return (c >= 0x01 && c <= 0x08) || c == 0x0B || c == 0x0C || (c >= 0x0E && c <= 0x1F);
}

// The character that a well-formed UTF-8 sequence of two to four bytes at p
// encodes (shortest form, no surrogate, at most U+10FFFF), with its length
// in `length`; -1 when the bytes at p are no such sequence.
long utf8_character(const unsigned char *p, int *length) {
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
  constexpr plain_bytes() {
    for (int c = 0x20; c <= 0x7E; c++) plain[c] = c != '"' && c != '&' && c != '\'' && c != '<' && c != '>';
  }
};
constexpr plain_bytes plain_table;

}  // namespace

void write_escaped(gd_text_out &out, const char *text) {
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
void write_pool_attr(const element &e, void (*write)(gd_text_out &, std::string_view, const char *), const char *name,
                     str_ptr off) {
  if (off == -1) return;
  const char *text = string_at(e.g, off);
  if (!text) {
    fprintf(e.err, "graphxml: node %d: string offset %d is outside the string pool\n", e.i, off);
    return;
  }
  write(e.out, name, text);
}

// The text of `value` from `c`; nullptr after the fatal message when `c`
// has no text for it. The comparison is unsigned, so negative codes are
// unknown too.
const char *choice_text(const element &e, const gxl_choice &c, int64_t value) {
  if ((uint64_t)value < (uint64_t)c.count) return c.names[value];
  if (!c.otherwise) fprintf(e.err, c.message, (int)value);
  return c.otherwise;
}

// ---------------------------------------------------------------------------
// Level writers of the compiler tree

void attr_common(const element &e) {
  for (const gd_field &f : gdexport::common_flags()) write_boolean_attr(e.out, f.name, gd_field_get(&e.rec, &f));
}

void edge_common(const element &) {}

bool attr_decl(const element &e) {
  const t_gcc_decl &d = e.rec.decl;
  attr_common(e);
  if (d.srcl != -1) {
    const char *file = string_at(e.g, d.srcf);
    if (!file) {
      fputs("string index is out of bounds\n", e.err);
      return false;
    }
    write_string_attr(e.out, "File", file);
    write_number_attr(e.out, "Line", d.srcl);
  }
  switch (d.lang) {
    case src_lang_c: write_string_attr(e.out, "src_lang", "c"); break;
    case src_lang_cp: write_string_attr(e.out, "src_lang", "c++"); break;
    case src_lang_java: write_string_attr(e.out, "src_lang", "java"); break;
    default: break;
  }
  write_boolean_attr(e.out, "artificial", d.artificial);
  write_boolean_attr(e.out, "mutable_flag", d.mutable_flag);
  write_boolean_attr(e.out, "register_flag", d.register_flag);
  write_boolean_attr(e.out, "inline_flag", d.inline_flag);
  return true;
}

void edge_decl(const element &e) {
  const t_gcc_decl &d = e.rec.decl;
  edge_common(e);
  write_edge(e.out, e.i, d.name, "decl_name");
  write_edge(e.out, e.i, d.mngl, "decl_mngl");
  write_edge(e.out, e.i, d.type, "decl_type");
  write_edge(e.out, e.i, d.chan, "decl_chan");
  write_edge(e.out, e.i, d.scpe, "decl_scpe");
  write_edge(e.out, e.i, d.vindex, "decl_vindex");
}

void attr_type(const element &e) {
  const t_gcc_type &t = e.rec.type;
  attr_common(e);
  write_number_attr(e.out, "algn", t.algn);
  write_boolean_attr(e.out, "qual_const", t.qual_const);
  write_boolean_attr(e.out, "qual_volatile", t.qual_volatile);
  write_boolean_attr(e.out, "qual_restrict", t.qual_restrict);
}

void edge_type(const element &e) {
  const t_gcc_type &t = e.rec.type;
  edge_common(e);
  write_edge(e.out, e.i, t.name, "type_name");
  write_edge(e.out, e.i, t.size, "type_size");
  write_edge(e.out, e.i, t.unql, "type_unql");
}

void attr_cst(const element &e) { attr_common(e); }

void edge_cst(const element &e) {
  edge_common(e);
  write_edge(e.out, e.i, e.rec.gcc_cst.type, "cst_type");
}

void attr_expr(const element &e) { attr_common(e); }

void edge_expr(const element &e) {
  edge_common(e);
  write_edge(e.out, e.i, e.rec.expr.type, "expr_type");
}

// ---------------------------------------------------------------------------
// Level writers of the Ririra schema

void ririra_asg_nd(const element &e) {
  const t_dc_asg_nd &a = e.rec.dc_asg_nd;
  const char *file = string_at(e.g, a.file);
  if (file && a.line >= 1 && a.line <= 9999999) {
    write_string_attr(e.out, "file", file);
    write_number_attr(e.out, "line", a.line);
  }
}

void ririra_identifier(const element &e) {
  const t_dc_identifier &d = e.rec.dc_identifier;
  ririra_asg_nd(e);
  write_pool_attr(e, write_string_attr, "name", d.name);
  write_string_attr(e.out, "visb", choice_text(e, gxl_visb_choice, d.visb));
}

void ririra_type(const element &e) {
  const t_dc_type &t = e.rec.dc_type;
  ririra_identifier(e);
  write_boolean_attr(e.out, "const", t.const_flag);
  write_boolean_attr(e.out, "volatile", t.volatile_flag);
}

void ririra_object(const element &e) {
  const t_dc_object &o = e.rec.dc_object;
  ririra_identifier(e);
  write_boolean_attr(e.out, "static", o.static_flag);
  write_boolean_attr(e.out, "extern", o.extern_flag);
}

void ririra_scope(const element &e) { ririra_identifier(e); }
void ririra_label(const element &e) { ririra_identifier(e); }
void ririra_expression(const element &e) { ririra_asg_nd(e); }

void ririra_operator(const element &e) {
  int32_t op = e.rec.dc_operator.op;
  ririra_expression(e);
  if ((uint32_t)op >= dc_no_more_operators) {
    fprintf(e.err, "unknown operator %d\n", op);
    write_string_attr(e.out, "op", "???");
  } else {
    write_string_attr(e.out, "op", dc_op_string[op]);
  }
}

void ririra_ctrl_stmt(const element &e) { ririra_asg_nd(e); }
void ririra_comment(const element &e) { ririra_asg_nd(e); }
void ririra_loop(const element &e) { ririra_ctrl_stmt(e); }
void ririra_jump(const element &e) { ririra_ctrl_stmt(e); }

void ririra_arc(const element &e) {
  if (e.rec.dc_arc.ordinal != 0) write_number_attr(e.out, "order", e.rec.dc_arc.ordinal);
}

void ririra_arc_reference(const element &e) { ririra_arc(e); }
void ririra_arc_syntax(const element &e) { ririra_arc(e); }

// ---------------------------------------------------------------------------
// Element bodies

// The attributes of the kind's level. False when the node ends the document.
bool write_level_attrs(const element &e, gxl_level level) {
  switch (level) {
    case gxl_level::common: attr_common(e); break;
    case gxl_level::type: attr_type(e); break;
    case gxl_level::cst: attr_cst(e); break;
    case gxl_level::decl: return attr_decl(e);
    case gxl_level::expr: attr_expr(e); break;
    case gxl_level::asg_nd: ririra_asg_nd(e); break;
    case gxl_level::identifier: ririra_identifier(e); break;
    case gxl_level::ririra_type: ririra_type(e); break;
    case gxl_level::scope: ririra_scope(e); break;
    case gxl_level::object: ririra_object(e); break;
    case gxl_level::label: ririra_label(e); break;
    case gxl_level::expression: ririra_expression(e); break;
    case gxl_level::ririra_operator: ririra_operator(e); break;
    case gxl_level::ctrl_stmt: ririra_ctrl_stmt(e); break;
    case gxl_level::jump: ririra_jump(e); break;
    case gxl_level::loop: ririra_loop(e); break;
    case gxl_level::comment: ririra_comment(e); break;
    case gxl_level::arc: ririra_arc(e); break;
    case gxl_level::arc_reference: ririra_arc_reference(e); break;
    case gxl_level::arc_syntax: ririra_arc_syntax(e); break;
    case gxl_level::skipped:
    case gxl_level::unhandled:
    case gxl_level::none: break;
  }
  return true;
}

// The link edges of the kind's level; only compiler-tree levels have any.
void write_level_edges(const element &e, gxl_level level) {
  switch (level) {
    case gxl_level::common: edge_common(e); break;
    case gxl_level::type: edge_type(e); break;
    case gxl_level::cst: edge_cst(e); break;
    case gxl_level::decl: edge_decl(e); break;
    case gxl_level::expr: edge_expr(e); break;
    default: break;
  }
}

bool write_extra_attr(const element &e, const gxl_body::attr &a) {
  int64_t v = gd_field_get(&e.rec, a.field);
  switch (a.entry->form) {
    case gxl_form::boolean: write_boolean_attr(e.out, a.entry->name, v); break;
    case gxl_form::number: write_number_attr(e.out, a.entry->name, (int32_t)v); break;
    case gxl_form::string: write_pool_attr(e, write_string_attr, a.entry->name, (str_ptr)v); break;
    case gxl_form::real: write_pool_attr(e, write_double_attr, a.entry->name, (str_ptr)v); break;
    case gxl_form::choice: {
      const char *text = choice_text(e, *a.entry->choice, v);
      if (!text) return false;
      write_string_attr(e.out, a.entry->name, text);
      break;
    }
    case gxl_form::link:
    case gxl_form::none: break;
  }
  return true;
}

// The relation element of a tree_vec: the vector, then each element in use
// with its position.
void write_elements_relation(const element &e) {
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

void report_unhandled(const element &e, int kind) {
  fprintf(e.err, "Node number %d\n", e.i);
  fprintf(e.err, "unknown node type: %d\n", kind);
  fputs("node data:\n", e.err);
  gdexport::dump_record_bytes(e.err, e.rec);
}

bool write_element(gd_text_out &out, FILE *err, const gd_graph *g, node_ptr i) {
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
  if (!write_level_attrs(e, body.level)) return false;
  for (const gxl_body::attr &a : body.attrs)
    if (!write_extra_attr(e, a)) return false;

  if (is_arc_kind(kind)) {
    text_put(out, "  </edge>\n");
    return true;
  }
  text_put(out, "  </node>\n");
  write_level_edges(e, body.level);
  for (const gxl_body::link &l : body.links) write_edge(out, i, (node_ptr)gd_field_get(&rec, l.field), l.name);
  if (body.elements_relation) write_elements_relation(e);
  return true;
}

}  // namespace

bool write_gxl_element(FILE *out, FILE *err, const gd_graph *g, node_ptr i) {
  gd_text_out text(out);
  return write_element(text, err, g, i);
}

int write_gxl_document(FILE *out, FILE *err, const gd_graph *g, const char *graph_id) {
  gd_text_out text(out);
  text_put(text,
           "<?xml version=\"1.0\"?>\n"
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
