// The gd_labels family: label declarations and case labels become Ririra
// labels, case labels and default labels.

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

namespace {

void convert_label(gd_graph *g, node_ptr l)
{
    const node_ptr id = record_of<t_label_decl>(g, l).name;
    const str_ptr name = identifier_text(g, id);
    gd_clear_node(g, l, dC_LABEL);
    record_of<t_dc_label>(g, l).name = name;
}

// A case label with a value, or the default label (no `low`).
void convert_case_label(gd_graph *g, node_ptr l)
{
    const t_case_label old = record_of<t_case_label>(g, l);
    if (old.low == -1) {
        gd_clear_node(g, l, dC_DEFAULT_LABEL);
        record_of<t_dc_default_label>(g, l).other_node = old.next;
        return;
    }
    const node_ptr value = new_arc(g, dC_ARC_SON, l, old.low);
    gd_clear_node(g, l, dC_CASE_LABEL);
    t_dc_case_label &c = record_of<t_dc_case_label>(g, l);
    c.other_node = old.next;
    c.value = value;
}

}  // namespace

int gd_labels_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.1f, 1.0f, 1.1f);
    for (node_ptr l = 0; node_valid(g, l); l++) {
        const gd_node_type k = kind_of(g, l);
        if (k == gLABEL_DECL)
            convert_label(g, l);
        else if (k == gCASE_LABEL)
            convert_case_label(g, l);
    }
    return 1;
}
