// The GXL element of each node kind, from the export table: the level that
// opens its body, then the attributes and links of the level and of the
// kind's own fields, in the order they are written.
#include <algorithm>
#include <array>

#include "gd/export/gxl.h"

namespace gxl {
namespace {

gxl_body body_from_table(int kind)
{
    const gdexport::kind_export &k = gdexport::kind_export_of(kind);
    gxl_body body;
    body.level = k.gxl_level;
    body.elements_relation = k.elements;
    const gd_kind_info *info = gd_kind_info_of(kind);
    auto add = [&](const gdexport::export_field &f) {
        const gdexport::gxl_view &v = f.entry->gxl;
        if (v.form != gxl_form::link) {
            body.attrs.push_back({&v, v.form, v.omit, v.name, f.gxl_field, f.gxl_with});
            return;
        }
        // The record name without its "t_", then the suffix.
        std::string name = v.name[0] == '_' ? std::string(info->record + 2) + v.name : std::string(v.name);
        body.links.push_back({std::move(name), f.gxl_field});
    };
    for (const gdexport::export_field &f : gdexport::level_export_of(k.gxl_level).gxl) add(f);
    // The kind's own attributes and links each in the order of their ranks,
    // table order within one rank.
    std::vector<const gdexport::kind_export::field *> shown;
    for (const gdexport::kind_export::field &f : k.fields)
        if (f.entry->gxl.form != gxl_form::none) shown.push_back(&f);
    std::stable_sort(shown.begin(), shown.end(),
                     [](const auto *a, const auto *b) { return a->entry->gxl.rank < b->entry->gxl.rank; });
    for (const gdexport::kind_export::field *f : shown) add(*f);
    return body;
}

}  // namespace

const gxl_body &gxl_body_of(int kind)
{
    static const std::array<gxl_body, NUM_NODES + 1> bodies = [] {
        std::array<gxl_body, NUM_NODES + 1> all;
        for (int k = 0; k <= NUM_NODES; k++) all[k] = body_from_table(k);
        return all;
    }();
    static const gxl_body unhandled_body;
    return kind >= 0 && kind <= NUM_NODES ? bodies[kind] : unhandled_body;
}

}  // namespace gxl
