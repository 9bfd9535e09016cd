// nodepeek's node dump: each node's type line, then the lines of its record
// level and of its own fields as the export table gives them. Labels are
// part of what people grep for, so they stay as they have always been
// printed ("volitile", "opt_type_un", "implements;").
#include "gd/export/node_dump.h"

#include <cctype>
#include <vector>

#include "gd/export/kind_exports.h"
#include "gd/export/program_io.h"
#include "gd/kind_table.h"
#include "gd/text_out.h"

namespace peek {
namespace {

using gdexport::choice_texts;
using gdexport::dump_form;
using gdexport::export_level;

// ---------------------------------------------------------------------------
// Printing

// The lines go into `out`, a buffer that reaches the stream in large writes.
// A diagnostic first hands the stream what the buffer holds, so that on a
// stream shared with the output it stands where it always has.
struct node_text {
    gd_text_out &out;
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
    text_drain(t.out);
    fprintf(t.err, "nodepeek: node has bad string ptr %d\n", off);
    return "<bad>";
}

void print_choice(const node_text &t, const choice_texts &c, int64_t value)
{
    if ((uint64_t)value < (uint64_t)c.count) {
        text_put(t.out, c.names[value]);
        return;
    }
    if (c.otherwise) {
        text_put(t.out, c.otherwise);
    } else {
        text_put(t.out, "??? (");
        text_put_int(t.out, (int)value);
        text_put(t.out, ')');
    }
    text_drain(t.out);
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

// "text (offset)" or, with no space, "text(offset)".
void put_text_and_offset(const node_text &t, const char *text, const char *between, int64_t v)
{
    text_put(t.out, text);
    text_put(t.out, between);
    text_put_int(t.out, (int)v);
    text_put(t.out, ')');
}

void print_line(const node_text &t, const gdexport::export_field &f)
{
    const gdexport::dump_view &line = f.entry->dump;
    const gd_field *field = f.dump_field;
    if (!has_line(t, line, field)) return;
    text_put(t.out, line.prefix);
    if (line.form == dump_form::heading) {
        text_put(t.out, '\n');
        return;
    }
    const int64_t v = gd_field_get(&t.rec, field);
    switch (line.form) {
    case dump_form::none:
    case dump_form::heading: break;
    case dump_form::link:
        text_put(t.out, '@');
        text_put_int(t.out, (int)v);
        break;
    case dump_form::number: text_put_int(t.out, (int)v); break;
    case dump_form::number_or_none:
        if (v == -1)
            text_put(t.out, "<none>");
        else
            text_put_int(t.out, (int)v);
        break;
    case dump_form::text:
        // A string that is there prints alone; "<bad>" and "<none>" keep the offset.
        if (const char *s = string_at(t.g, (str_ptr)v))
            text_put(t.out, s);
        else
            put_text_and_offset(t, pool_text(t, (str_ptr)v), " (", v);
        break;
    case dump_form::text_offset: put_text_and_offset(t, pool_text(t, (str_ptr)v), "(", v); break;
    case dump_form::choice: print_choice(t, *line.choice, v); break;
    case dump_form::choice_value:
        print_choice(t, *line.choice, v);
        if ((uint64_t)v < (uint64_t)line.choice->count) put_text_and_offset(t, "", " (", v);
        break;
    case dump_form::enum_text: text_put(t.out, gdexport::enum_text(field, v)); break;
    case dump_form::decl_file:
        // Without a line there is no position, whatever the file holds; with
        // one, even -1 is a bad file.
        if (gd_field_get(&t.rec, f.dump_with) == -1) {
            text_put(t.out, "<none>");
        } else if (const char *file = string_at(t.g, (str_ptr)v)) {
            text_put(t.out, file);
        } else {
            put_text_and_offset(t, "<bad>", " (", v);
            text_drain(t.out);
            fprintf(t.err, "nodepeek: node has bad string ptr %d\n", (int)v);
        }
        break;
    case dump_form::place_file: {
        const char *file = string_at(t.g, (str_ptr)v);
        put_text_and_offset(t, file ? file : "???", " (", v);
        break;
    }
    case dump_form::qualifiers: {
        const unsigned bits = t.rec.bytes[field->offset] >> field->bit;
        text_put(t.out, bits & 1 ? 'c' : ' ');
        text_put(t.out, bits & 2 ? 'v' : ' ');
        text_put(t.out, bits & 4 ? 'r' : ' ');
        break;
    }
    }
    text_put(t.out, '\n');
}

void print_tree_vec_elements(const node_text &t)
{
    // A length past the slots is reported.
    if (t.rec.tree_vec.length > (int)(sizeof t.rec.tree_vec.elts / sizeof t.rec.tree_vec.elts[0]))
        text_drain(t.out);
    int n = gdexport::tree_vec_elements(t.err, "nodepeek", t.n, t.rec);
    for (int i = 0; i < n; i++) {
        if (t.rec.tree_vec.elts[i] == -1) continue;
        text_put(t.out, "  [");
        text_put_int(t.out, i);
        text_put(t.out, "]: @");
        text_put_int(t.out, t.rec.tree_vec.elts[i]);
        text_put(t.out, '\n');
    }
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

namespace {

// The type line names of the kinds with a table entry, made once: the whole
// dump prints one per node.
const std::string &cached_type_line_name(int kind)
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (int k = 0; k <= NUM_NODES; k++) all.push_back(type_line_name(k));
        return all;
    }();
    return names[kind];
}

}  // namespace

void doNode(gd_text_out &out, FILE *err, const gd_graph *g, node_ptr n)
{
    const gd_graph_node &rec = g->nodeBuffer[n];
    const node_text t{out, err, g, n, rec};
    const int kind = rec.common.type;
    const gdexport::kind_export &body = gdexport::kind_export_of(kind);

    text_put(out, "\nnode @");
    text_put_int(out, n);
    text_put(out, '\n');
    switch (body.dump_level) {
    case export_level::unhandled:
        text_put(out, "unknown node type: ");
        text_put_int(out, kind);
        text_put(out, "\nnode data:\n");
        text_drain(out);
        gdexport::dump_record_bytes(out.file, rec);
        return;
    case export_level::skipped:
        text_put(out, kind == NODE_NONE ? "type: unassigned node (NODE_NONE)\n" : "type: deleted node\n");
        return;
    default: break;
    }
    text_put(out, "type: ");
    text_put(out, kind >= 0 && kind <= NUM_NODES ? cached_type_line_name(kind) : type_line_name(kind));
    if (is_arc_kind(kind)) {
        text_put(out, " @");
        text_put_int(out, rec.dc_arc.src);
        text_put(out, " @");
        text_put_int(out, rec.dc_arc.dest);
    }
    text_put(out, '\n');
    for (const gdexport::export_field &f : gdexport::level_export_of(body.dump_level).dump) print_line(t, f);
    for (const gdexport::kind_export::field &f : body.fields)
        if (f.entry->dump.form != dump_form::none) print_line(t, f);
    if (body.elements) print_tree_vec_elements(t);
}

void doNode(FILE *out, FILE *err, const gd_graph *g, node_ptr n)
{
    gd_text_out text(out);
    doNode(text, err, g, n);
}

}  // namespace peek
