// nodepeek's node dump: the base printers (one per record level, each
// printing the levels it derives from first), then each kind's own lines as
// the export table gives them. Labels are part of what people grep for, so
// they stay as they have always been printed ("volitile", "opt_type_un",
// "implements;").
#include "gd/export/node_dump.h"

#include <cctype>

#include "gd/export/kind_exports.h"
#include "gd/export/kind_rows.h"
#include "gd/export/program_io.h"
#include "gd/kind_table.h"

namespace peek {
namespace {

using gdexport::choice_texts;
using gdexport::dump_form;
using gdexport::export_level;

// ---------------------------------------------------------------------------
// Printing

struct node_text {
  FILE *out;
  FILE *err;
  const gd_graph *g;
  node_ptr n;
  const gd_graph_node &rec;
};

// A pool string for a line that shows strings: "<none>" for -1, and for any
// other offset outside the pool "<bad>" after a warning.
const char *pool_text(const node_text &t, str_ptr off) {
  if (off == -1) return "<none>";
  const char *s = string_at(t.g, off);
  if (s) return s;
  fprintf(t.err, "nodepeek: node has bad string ptr %d\n", off);
  return "<bad>";
}

void print_choice(const node_text &t, const choice_texts &c, int64_t value) {
  if ((uint64_t)value < (uint64_t)c.count) {
    fputs(c.names[value], t.out);
  } else if (c.otherwise) {
    fputs(c.otherwise, t.out);
  } else {
    fprintf(t.out, "??? (%d)", (int)value);
    fprintf(t.err, c.message, t.n, (int)value);
  }
}

void print_own_line(const node_text &t, const gdexport::dump_view &line, const gd_field *field) {
  int64_t v = gd_field_get(&t.rec, field);
  fputs(line.prefix, t.out);
  switch (line.form) {
    case dump_form::none: break;
    case dump_form::link: fprintf(t.out, "@%d", (int)v); break;
    case dump_form::number: fprintf(t.out, "%d", (int)v); break;
    case dump_form::text:
      // A string that is there prints alone; "<bad>" and "<none>" keep the offset.
      if (const char *s = string_at(t.g, (str_ptr)v))
        fputs(s, t.out);
      else
        fprintf(t.out, "%s (%d)", pool_text(t, (str_ptr)v), (int)v);
      break;
    case dump_form::text_offset: fprintf(t.out, "%s(%d)", pool_text(t, (str_ptr)v), (int)v); break;
    case dump_form::choice: print_choice(t, *line.choice, v); break;
  }
  fputc('\n', t.out);
}

void print_tree_vec_elements(const node_text &t) {
  int n = gdexport::tree_vec_elements(t.err, "nodepeek", t.n, t.rec);
  for (int i = 0; i < n; i++)
    if (t.rec.tree_vec.elts[i] != -1) fprintf(t.out, "  [%d]: @%d\n", i, t.rec.tree_vec.elts[i]);
}

// ---------------------------------------------------------------------------
// Base printers of the compiler tree

void about_common(const node_text &t) {
  const gd_graph_common &c = t.rec.common;
  fputs("common\n", t.out);
  fprintf(t.out, " type_number: %d\n", (int)c.type);
  for (const gd_field &f : gdexport::common_flags()) fprintf(t.out, " %s: %d\n", f.name, (int)gd_field_get(&t.rec, &f));
  fprintf(t.out, " other_node: @%d\n", c.other_node);
}

void about_decl(const node_text &t) {
  const t_gcc_decl &d = t.rec.decl;
  about_common(t);
  fputs("decl\n", t.out);
  fprintf(t.out, " name: @%d\n", d.name);
  fprintf(t.out, " mngl: @%d\n", d.mngl);
  fprintf(t.out, " type: @%d\n", d.type);
  fprintf(t.out, " chan: @%d\n", d.chan);
  fprintf(t.out, " scpe: @%d\n", d.scpe);
  fprintf(t.out, " vindex: @%d\n", d.vindex);
  if (d.srcl == -1) {
    fputs(" srcf: <none>\n", t.out);
    fputs(" srcl: <none>\n", t.out);
  } else {
    const char *file = string_at(t.g, d.srcf);
    if (file) {
      fprintf(t.out, " srcf: %s\n", file);
    } else {
      fprintf(t.out, " srcf: <bad> (%d)\n", d.srcf);
      fprintf(t.err, "nodepeek: node has bad string ptr %d\n", d.srcf);
    }
    fprintf(t.out, " srcl: %d\n", d.srcl);
  }
  switch (d.lang) {
    case src_lang_c: fputs(" src_lang: c\n", t.out); break;
    case src_lang_cp: fputs(" src_lang: c++\n", t.out); break;
    case src_lang_java: fputs(" src_lang: java\n", t.out); break;
    default: break;
  }
  fprintf(t.out, " artificial: %d\n", d.artificial);
  fprintf(t.out, " mutable_flag: %d\n", d.mutable_flag);
  fprintf(t.out, " register_flag: %d\n", d.register_flag);
  fprintf(t.out, " inline_flag: %d\n", d.inline_flag);
}

void about_type(const node_text &t) {
  const t_gcc_type &ty = t.rec.type;
  about_common(t);
  fputs("type\n", t.out);
  fprintf(t.out, " name: @%d\n", ty.name);
  fprintf(t.out, " size: @%d\n", ty.size);
  fprintf(t.out, " algn: %d\n", ty.algn);
  fprintf(t.out, " unql: @%d\n", ty.unql);
  fprintf(t.out, " qual: %c%c%c\n", ty.qual_const ? 'c' : ' ', ty.qual_volatile ? 'v' : ' ',
          ty.qual_restrict ? 'r' : ' ');
}

void about_cst(const node_text &t) {
  about_common(t);
  fputs("cst\n", t.out);
  fprintf(t.out, " type: @%d\n", t.rec.gcc_cst.type);
}

void about_expr(const node_text &t) {
  about_common(t);
  fputs("expr\n", t.out);
  fprintf(t.out, " type: @%d\n", t.rec.expr.type);
}

// ---------------------------------------------------------------------------
// Base printers of the Ririra schema

void ririra_asg_nd(const node_text &t) {
  const t_dc_asg_nd &a = t.rec.dc_asg_nd;
  about_common(t);
  fputs("asg_nd\n", t.out);
  const char *file = string_at(t.g, a.file);
  fprintf(t.out, " file: %s (%d)\n", file ? file : "???", a.file);
  fprintf(t.out, " line: %d\n", a.line);
}

void ririra_identifier(const node_text &t) {
  const t_dc_identifier &d = t.rec.dc_identifier;
  ririra_asg_nd(t);
  fputs("identifier\n", t.out);
  if (d.name != -1) fprintf(t.out, " name: %s(%d)\n", pool_text(t, d.name), d.name);
  fputs(" visb: ", t.out);
  if ((uint32_t)d.visb < (uint32_t)gdexport::dump_visb_choice.count) {
    fputs(gdexport::dump_visb_choice.names[d.visb], t.out);
  } else {
    fprintf(t.out, "??? (%d)", (int)d.visb);
    fprintf(t.err, "nodepeek: node has illegal visibility code %d\n", (int)d.visb);
  }
  fputc('\n', t.out);
  fprintf(t.out, " instance: @%d\n", d.instance);
  fprintf(t.out, " defLoc: @%d\n", d.defLoc);
  fprintf(t.out, " arcFriend: @%d\n", d.arcFriend);
  fprintf(t.out, " array_dim: @%d\n", d.array_dim);
}

void ririra_type(const node_text &t) {
  const t_dc_type &ty = t.rec.dc_type;
  ririra_identifier(t);
  fprintf(t.out, " const: %d\n", ty.const_flag);
  fprintf(t.out, " volatile: %d\n", ty.volatile_flag);
  fprintf(t.out, " implements; @%d\n", ty.implements);
}

void ririra_object(const node_text &t) {
  const t_dc_object &o = t.rec.dc_object;
  ririra_identifier(t);
  fputs("object\n", t.out);
  fprintf(t.out, " static: %d\n", o.static_flag);
  fprintf(t.out, " extern: %d\n", o.extern_flag);
  fprintf(t.out, " bitfield_dim: @%d\n", o.bitfield_dim);
  fprintf(t.out, " initial_val: @%d\n", o.initial_val);
  fprintf(t.out, " link: @%d\n", o.link);
}

void ririra_scope(const node_text &t) {
  ririra_identifier(t);
  fputs("scope\n", t.out);
  fprintf(t.out, " contents: @%d\n", t.rec.dc_scope.contents);
}

void ririra_expression(const node_text &t) {
  ririra_asg_nd(t);
  fputs("expression\n", t.out);
  fprintf(t.out, " refers: @%d\n", t.rec.dc_expression.refers);
}

void ririra_operator(const node_text &t) {
  const t_dc_operator &o = t.rec.dc_operator;
  ririra_expression(t);
  fputs("operator\n", t.out);
  if ((uint32_t)o.op < dc_no_more_operators) {
    fprintf(t.out, " op %s (%d)\n", dc_op_string[o.op], (int)o.op);
  } else {
    fprintf(t.err, "unknown operator %d\n", (int)o.op);
    fprintf(t.out, " op ??? (%d)\n", (int)o.op);
  }
  fprintf(t.out, " ops: @%d\n", o.ops);
}

void ririra_ctrl_stmt(const node_text &t) { ririra_asg_nd(t); }
void ririra_loop(const node_text &t) { ririra_ctrl_stmt(t); }
void ririra_jump(const node_text &t) { ririra_ctrl_stmt(t); }
void ririra_comment(const node_text &t) { ririra_asg_nd(t); }

void ririra_arc(const node_text &t) {
  const t_dc_arc &a = t.rec.dc_arc;
  about_common(t);
  fputs("arc\n", t.out);
  if (a.ordinal != 0) fprintf(t.out, " ordinal %d\n", a.ordinal);
  fprintf(t.out, " next: @%d\n", a.next);
}

void print_base(const node_text &t, export_level level) {
  switch (level) {
    case export_level::common: about_common(t); break;
    case export_level::decl: about_decl(t); break;
    case export_level::type: about_type(t); break;
    case export_level::cst: about_cst(t); break;
    case export_level::expr: about_expr(t); break;
    case export_level::asg_nd: ririra_asg_nd(t); break;
    case export_level::identifier:
    case export_level::label: ririra_identifier(t); break;
    case export_level::ririra_type: ririra_type(t); break;
    case export_level::object: ririra_object(t); break;
    case export_level::scope: ririra_scope(t); break;
    case export_level::expression: ririra_expression(t); break;
    case export_level::ririra_operator: ririra_operator(t); break;
    case export_level::ctrl_stmt: ririra_ctrl_stmt(t); break;
    case export_level::loop: ririra_loop(t); break;
    case export_level::jump: ririra_jump(t); break;
    case export_level::comment: ririra_comment(t); break;
    case export_level::arc:
    case export_level::arc_reference:
    case export_level::arc_syntax: ririra_arc(t); break;
    case export_level::unhandled:
    case export_level::skipped:
    case export_level::none: break;
  }
}

}  // namespace

std::string type_line_name(int kind) {
  // Both template kinds have always printed as dc_template.
  if (kind == dC_FORMAL_TEMPLATE) return "dc_template";
  const gd_kind_info *info = gd_kind_info_of(kind);
  if (!info) return gd_kind_name(kind);
  std::string e = info->enumerator;
  std::string name;
  if (is_arc_kind(kind)) {
    // dC_ARC_DEF_LOC gives ArcDefLoc.
    bool word_start = true;
    for (char c : e.substr(3)) {
      if (c == '_') {
        word_start = true;
        continue;
      }
      name += word_start ? c : (char)tolower((unsigned char)c);
      word_start = false;
    }
    return name;
  }
  name = is_compiler_kind(kind) ? e.substr(1) : "dc_" + e.substr(3);
  for (char &c : name) c = (char)tolower((unsigned char)c);
  return name;
}

void print_graph_header(FILE *out, const gd_graph *g) {
  fprintf(out, "graph: node size = %d, char buffer size = %ld, first node = %d\n", (int)sizeof(gd_graph_node),
          (long)g->curStringPos, g->firstNode);
}

void doNode(FILE *out, FILE *err, const gd_graph *g, node_ptr n) {
  const gd_graph_node &rec = g->nodeBuffer[n];
  const node_text t{out, err, g, n, rec};
  const int kind = rec.common.type;
  const gdexport::kind_export &body = gdexport::kind_export_of(kind);

  fprintf(out, "\nnode @%d\n", n);
  switch (body.dump_level) {
    case export_level::unhandled:
      fprintf(out, "unknown node type: %d\n", kind);
      fputs("node data:\n", out);
      gdexport::dump_record_bytes(out, rec);
      return;
    case export_level::skipped:
      fputs(kind == NODE_NONE ? "type: unassigned node (NODE_NONE)\n" : "type: deleted node\n", out);
      return;
    default: break;
  }
  if (is_arc_kind(kind))
    fprintf(out, "type: %s @%d @%d\n", type_line_name(kind).c_str(), rec.dc_arc.src, rec.dc_arc.dest);
  else
    fprintf(out, "type: %s\n", type_line_name(kind).c_str());
  print_base(t, body.dump_level);
  for (const gdexport::kind_export::field &f : body.fields)
    if (f.entry->dump.form != dump_form::none) print_own_line(t, f.entry->dump, f.dump_field);
  if (body.elements) print_tree_vec_elements(t);
}

}  // namespace peek
