// nodepeek's node dump: each node's type line, then the lines of its record
// level and of its own fields as the export table gives them. Labels are
// part of what people grep for, so they stay as they have always been
// printed ("volitile", "opt_type_un", "implements;").
#include "gd/export/node_dump.h"

#include <cctype>

#include "gd/export/kind_exports.h"
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
const char *pool_text(const node_text &t, str_ptr off)
{
    if (off == -1) return "<none>";
    const char *s = string_at(t.g, off);
    if (s) return s;
    fprintf(t.err, "nodepeek: node has bad string ptr %d\n", off);
    return "<bad>";
}

void print_choice(const node_text &t, const choice_texts &c, int64_t value)
{
    if ((uint64_t)value < (uint64_t)c.count) {
        fputs(c.names[value], t.out);
        return;
    }
    if (c.otherwise)
        fputs(c.otherwise, t.out);
    else
        fprintf(t.out, "??? (%d)", (int)value);
    gdexport::report_unknown_choice(t.err, c, t.n, value);
}

// False for a field whose value shows no line at all.
bool has_line(const node_text &t, const gdexport::dump_view &line, const gd_field *field)
{
    if (line.form == dump_form::heading) return true;
    const int64_t v = gd_field_get(&t.rec, field);
    if (gdexport::is_left_out(line.omit, v)) return false;
    return line.form != dump_form::enum_text || gdexport::enum_text(field, v) != nullptr;
}

void print_line(const node_text &t, const gdexport::export_field &f)
{
    const gdexport::dump_view &line = f.entry->dump;
    const gd_field *field = f.dump_field;
    if (!has_line(t, line, field)) return;
    fputs(line.prefix, t.out);
    if (line.form == dump_form::heading) {
        fputc('\n', t.out);
        return;
    }
    const int64_t v = gd_field_get(&t.rec, field);
    switch (line.form) {
    case dump_form::none:
    case dump_form::heading: break;
    case dump_form::link: fprintf(t.out, "@%d", (int)v); break;
    case dump_form::number: fprintf(t.out, "%d", (int)v); break;
    case dump_form::number_or_none:
        if (v == -1)
            fputs("<none>", t.out);
        else
            fprintf(t.out, "%d", (int)v);
        break;
    case dump_form::text:
        // A string that is there prints alone; "<bad>" and "<none>" keep the offset.
        if (const char *s = string_at(t.g, (str_ptr)v))
            fputs(s, t.out);
        else
            fprintf(t.out, "%s (%d)", pool_text(t, (str_ptr)v), (int)v);
        break;
    case dump_form::text_offset: fprintf(t.out, "%s(%d)", pool_text(t, (str_ptr)v), (int)v); break;
    case dump_form::choice: print_choice(t, *line.choice, v); break;
    case dump_form::choice_value:
        print_choice(t, *line.choice, v);
        if ((uint64_t)v < (uint64_t)line.choice->count) fprintf(t.out, " (%d)", (int)v);
        break;
    case dump_form::enum_text: fputs(gdexport::enum_text(field, v), t.out); break;
    case dump_form::decl_file:
        // Without a line there is no position, whatever the file holds; with
        // one, even -1 is a bad file.
        if (gd_field_get(&t.rec, f.dump_with) == -1) {
            fputs("<none>", t.out);
        } else if (const char *file = string_at(t.g, (str_ptr)v)) {
            fputs(file, t.out);
        } else {
            fprintf(t.out, "<bad> (%d)", (int)v);
            fprintf(t.err, "nodepeek: node has bad string ptr %d\n", (int)v);
        }
        break;
    case dump_form::place_file: {
        const char *file = string_at(t.g, (str_ptr)v);
        fprintf(t.out, "%s (%d)", file ? file : "???", (int)v);
        break;
    }
    case dump_form::qualifiers: {
        const unsigned bits = t.rec.bytes[field->offset] >> field->bit;
        fputc(bits & 1 ? 'c' : ' ', t.out);
        fputc(bits & 2 ? 'v' : ' ', t.out);
        fputc(bits & 4 ? 'r' : ' ', t.out);
        break;
    }
    }
    fputc('\n', t.out);
}

void print_tree_vec_elements(const node_text &t)
{
    int n = gdexport::tree_vec_elements(t.err, "nodepeek", t.n, t.rec);
    for (int i = 0; i < n; i++)
        if (t.rec.tree_vec.elts[i] != -1) fprintf(t.out, "  [%d]: @%d\n", i, t.rec.tree_vec.elts[i]);
}

}  // namespace

std::string type_line_name(int kind)
{
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

void print_graph_header(FILE *out, const gd_graph *g)
{
    fprintf(out, "graph: node size = %d, char buffer size = %ld, first node = %d\n",
            (int)sizeof(gd_graph_node), (long)g->curStringPos, g->firstNode);
}

void doNode(FILE *out, FILE *err, const gd_graph *g, node_ptr n)
{
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
    for (const gdexport::export_field &f : gdexport::level_export_of(body.dump_level).dump) print_line(t, f);
    for (const gdexport::kind_export::field &f : body.fields)
        if (f.entry->dump.form != dump_form::none) print_line(t, f);
    if (body.elements) print_tree_vec_elements(t);
}

}  // namespace peek
