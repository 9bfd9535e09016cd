// The gd_literals family: every integer, real and string constant of the
// compiler tree becomes a Ririra literal whose value is the constant written
// as C source text, kept in the string pool, with an instance arc to its type.

#include <gd/filters/filters.h>
#include <gd/record.h>

#include "gd_literals.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// How a row hands the constant's value to its format. Every format gets a
// value of exactly the width it reads, so the text does not depend on the
// size of `long` on the machine at hand.
enum class value_reading {
    truth,      // "true" or "false"
    character,  // the C text of one byte
    int16,
    uint16,
    int32,
    uint32,
    int64,
    uint64,
    int32_or_64,
    uint32_or_64,
    low_word,  // the fallback: the low word as a signed int
};

struct integer_format {
    const char *type_name;
    uint16_t width;
    uint64_t mask;
    const char *fmt;
    value_reading reading;
};

// Integer constants are written by the name of their type. The front end
// never gives a real type to an integer constant; should one come, "float"
// and "double" fall back to the low word, as a type without a row does.
// `long` is 32 or 64 bits wide, as the front end's target has it: its rows
// write the low word when the high word only extends it (zeros, or the low
// word's sign), as a 32-bit target writes every constant, and the whole
// 64-bit value otherwise.
const integer_format formats[] = {
    {"char", 8, 0xff, "'%s'", value_reading::character},
    {"signed char", 8, 0xff, "'%s'", value_reading::character},
    {"unsigned char", 8, 0xff, "'%s'", value_reading::character},
    {"short int", 16, 0xffff, "%" PRId16, value_reading::int16},
    {"short unsigned int", 16, 0xffff, "%" PRIu16 "U", value_reading::uint16},
    {"float", 32, 0xffffffff, "%d", value_reading::low_word},
    {"int", 32, 0xffffffff, "%" PRId32, value_reading::int32},
    {"long int", 64, 0xffffffffffffffff, "%" PRId64, value_reading::int32_or_64},
    {"unsigned int", 32, 0xffffffff, "%" PRIu32 "U", value_reading::uint32},
    {"long unsigned int", 64, 0xffffffffffffffff, "%" PRIu64 "U", value_reading::uint32_or_64},
    {"double", 64, 0xffffffffffffffff, "%d", value_reading::low_word},
    {"long long int", 64, 0xffffffffffffffff, "%" PRId64 "LL", value_reading::int64},
    {"long long unsigned int", 64, 0xffffffffffffffff, "%" PRIu64 "LLU", value_reading::uint64},
    {"bool", 1, 0x1, "%s", value_reading::truth},
};
constexpr std::size_t format_count = sizeof formats / sizeof formats[0];

// The C source text of each byte value inside quotes.
struct character_texts {
    char text[256][5];

    character_texts()
    {
        static const char control_letters[] = "abtnvfr";  // bytes 7 to 13
        for (int c = 0; c < 256; c++) {
            char *t = text[c];
            if (c >= 7 && c <= 13)
                std::snprintf(t, 5, "\\%c", control_letters[c - 7]);
            else if (c == 14 || c == 15)
                std::snprintf(t, 5, "\\x%02X", c);
            else if (c == '"' || c == '\'' || c == '\\')
                std::snprintf(t, 5, "\\%c", c);
            else if (c >= 32 && c <= 126)
                std::snprintf(t, 5, "%c", c);
            else
                std::snprintf(t, 5, "\\x%02x", c);
        }
    }
};

const char *char_text(unsigned c)
{
    static const character_texts texts;
    return texts.text[c & 0xff];
}

// The pool offset of each row's type name in this graph, -1 when the pool
// does not hold it (such a row matches no type).
std::vector<str_ptr> type_names_in_pool(gd_graph *g)
{
    std::vector<str_ptr> offsets(format_count);
    for (std::size_t r = 0; r < format_count; r++) offsets[r] = gd_lookup_string(g, formats[r].type_name);
    return offsets;
}

// The name of a Ririra type, -1 for an index that is not a named Ririra
// declaration: the identifiers, types and scopes (is_ririra_identifier_kind),
// whose records are t_dc_identifier records.
str_ptr ririra_type_name(const gd_graph *g, node_ptr type)
{
    const t_dc_identifier *named = record<t_dc_identifier>(g, type);
    return named ? named->name : -1;
}

const integer_format *format_of_type(const gd_graph *g, node_ptr type, const std::vector<str_ptr> &names)
{
    str_ptr name = ririra_type_name(g, type);
    if (name == -1) return nullptr;
    for (std::size_t r = 0; r < format_count; r++)
        if (names[r] != -1 && names[r] == name) return &formats[r];
    return nullptr;
}

std::string integer_text(uint64_t value, const integer_format *row)
{
    char text[50];
    const uint32_t low = uint32_t(value);
    const uint32_t high = uint32_t(value >> 32);
    const bool high_extends_low = high == 0 || high == (int32_t(low) < 0 ? 0xffffffffu : 0u);
    if (!row) {
        std::snprintf(text, sizeof text, "%d", int32_t(low));
        return text;
    }
    const uint64_t v = value & row->mask;
    switch (row->reading) {
    case value_reading::truth:
        std::snprintf(text, sizeof text, row->fmt, (v & 0xff) ? "true" : "false");
        break;
    case value_reading::character:
        std::snprintf(text, sizeof text, row->fmt, char_text(unsigned(v & 0xff)));
        break;
    case value_reading::int16: std::snprintf(text, sizeof text, row->fmt, int16_t(v)); break;
    case value_reading::uint16: std::snprintf(text, sizeof text, row->fmt, uint16_t(v)); break;
    case value_reading::int32: std::snprintf(text, sizeof text, row->fmt, int32_t(v)); break;
    case value_reading::uint32: std::snprintf(text, sizeof text, row->fmt, uint32_t(v)); break;
    case value_reading::int64: std::snprintf(text, sizeof text, row->fmt, int64_t(v)); break;
    case value_reading::uint64: std::snprintf(text, sizeof text, row->fmt, uint64_t(v)); break;
    case value_reading::int32_or_64:
        std::snprintf(text, sizeof text, row->fmt, high_extends_low ? int64_t(int32_t(low)) : int64_t(v));
        break;
    case value_reading::uint32_or_64:
        std::snprintf(text, sizeof text, row->fmt, high_extends_low ? uint64_t(low) : uint64_t(v));
        break;
    case value_reading::low_word: std::snprintf(text, sizeof text, row->fmt, int32_t(low)); break;
    }
    return text;
}

}  // namespace

str_ptr string_literal(gd_graph *g, str_ptr text, int nbytes)
{
    std::string bytes;
    if (string_at(g, text) && nbytes > 0) {
        uint32_t available = g->curStringPos - uint32_t(text);
        uint32_t count = uint32_t(nbytes) < available ? uint32_t(nbytes) : available;
        // A copy: adding the result may move the pool.
        bytes.assign(g->stringBuffer + text, count);
    }

    std::vector<uint32_t> units;
    bool wide = false;
    if (!bytes.empty() && bytes.size() % 4 == 0) {
        uint32_t last;
        std::memcpy(&last, bytes.data() + bytes.size() - 4, 4);
        wide = last == 0;
    }
    if (wide) {
        units.resize(bytes.size() / 4);
        std::memcpy(units.data(), bytes.data(), bytes.size());
    } else {
        for (char c : bytes) units.push_back(uint8_t(c));
    }

    std::string out = wide ? "L\"" : "\"";
    // The terminating unit is not written.
    for (std::size_t u = 0; u + 1 < units.size(); u++) {
        uint32_t unit = units[u];
        char escape[11];
        if (unit < 128 || !wide)
            out += char_text(unit);
        else if (unit > 65535) {
            std::snprintf(escape, sizeof escape, "\\U%08" PRIx32, unit);
            out += escape;
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04" PRIx32, unit);
            out += escape;
        }
    }
    out += '"';
    return gd_add_string(g, out.c_str());
}

int gd_literals_filter(gd_graph *g)
{
    gd_graph_scale(g, 1.5, 1.0, 1.1);
    const std::vector<str_ptr> names = type_names_in_pool(g);

    for (node_ptr i = 0; node_valid(g, i); i++) {
        str_ptr value = -1;
        node_ptr type;
        switch (kind_of(g, i)) {
        case gREAL_CST: {
            const t_real_cst &c = record_of<t_real_cst>(g, i);
            type = c.type;
            value = c.value;
            break;
        }
        case gSTRING_CST: {
            const t_string_cst &c = record_of<t_string_cst>(g, i);
            type = c.type;
            value = string_literal(g, c.strg, c.lngt);
            break;
        }
        case gINTEGER_CST: {
            const t_integer_cst &c = record_of<t_integer_cst>(g, i);
            type = c.type;
            uint64_t v = uint64_t(uint32_t(c.high)) << 32 | uint32_t(c.low);
            value = gd_add_string(g, integer_text(v, format_of_type(g, type, names)).c_str());
            break;
        }
        default: continue;
        }
        if (value == -1) continue;
        const node_ptr arc = newNode(g);
        gd_clear_node(g, arc, dC_INSTANCE);
        t_dc_instance &instance = record_of<t_dc_instance>(g, arc);
        instance.src = i;
        instance.dest = type;
        gd_clear_node(g, i, dC_LITERAL);
        t_dc_literal &literal = record_of<t_dc_literal>(g, i);
        literal.value = value;
        literal.type = arc;
    }
    return 1;
}
