#include "gd/export/kind_rows.h"

#include <cstring>

namespace gdexport {

const gd_field *table_field(const char *table, int layout_kind, const char *name)
{
    const gd_kind_info *info = gd_kind_info_of(layout_kind);
    const gd_field *f = info ? gd_find_field(info, name) : nullptr;
    // The kind itself, which gd_find_field passes over, where the record has
    // no field of that name.
    if (!f && info && info->nfields > 0 && info->fields[0].type == GD_FT_KIND &&
        strcmp(info->fields[0].name, name) == 0)
        f = &info->fields[0];
    if (!f) {
        fprintf(stderr, "%s: kind %s has no field %s\n", table, gd_kind_name(layout_kind), name);
        abort();
    }
    return f;
}

}  // namespace gdexport
