#include "gd/export/kind_rows.h"

#include <cstring>

namespace gdexport {

const gd_field *table_field(const char *table, int layout_kind, const char *name) {
  const gd_kind_info *info = gd_kind_info_of(layout_kind);
  const gd_field *f = info ? gd_find_field(info, name) : nullptr;
  if (!f) {
    fprintf(stderr, "%s: kind %s has no field %s\n", table, gd_kind_name(layout_kind), name);
    abort();
  }
  return f;
}

std::span<const gd_field> common_flags() {
  // Every record begins with the common head; error_mark has nothing else.
  static const std::span<const gd_field> flags = [] {
    const gd_kind_info *head = gd_kind_info_of(gERROR_MARK);
    const gd_field *first = table_field("common flags", gERROR_MARK, "constant_flag");
    size_t n = 0;
    while (first + n < head->fields + head->nfields && first[n].type == GD_FT_BITS && first[n].offset == 2) n++;
    return std::span<const gd_field>(first, n);
  }();
  return flags;
}

}  // namespace gdexport
