#include "gd/export/program_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "support/output_file.h"

namespace gdexport {

bool parse_node_number(const char *text, int *number)
{
    char *end = nullptr;
    errno = 0;
    long v = strtol(text, &end, 10);
    // No digits at all, or text after them: not a number.
    if (end == text || *end != '\0') return false;
    // strtol saturates at the long range; anything beyond int would be cut.
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    *number = (int)v;
    return true;
}

void dump_record_bytes(FILE *out, const gd_graph_node &rec)
{
    for (int b = 0; b < (int)sizeof rec.bytes; b++) {
        fprintf(out, " %2x", (unsigned)rec.bytes[b]);
        if (b % 16 == 15) fputc('\n', out);
    }
    fputc('\n', out);
}

int tree_vec_elements(FILE *err, const char *program, node_ptr i, const gd_graph_node &rec)
{
    constexpr int slots = sizeof rec.tree_vec.elts / sizeof rec.tree_vec.elts[0];
    int length = rec.tree_vec.length;
    if (length > slots) {
        fprintf(err, "%s: node %d: tree_vec length %d clamped to its %d slots\n", program, i, length, slots);
        return slots;
    }
    return length;
}

int finish_output(FILE *out, FILE *err, const char *program)
{
    if (support::finishStream(out) == 0) return 0;
    fprintf(err, "%s: error writing standard output\n", program);
    return 1;
}

}  // namespace gdexport
