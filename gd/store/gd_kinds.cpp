// The kind and operator name tables and the per-kind field table, all
// expanded from node_kinds.def and node_records.def.
#include <array>
#include <cstring>
#include <string_view>

#include "gd/kind_table.h"

// ---------------------------------------------------------------------------
// Name tables

const char *const gd_node_type_ascii[NUM_NODES + 1] = {
#define GD_KIND(e, name, member, flags, unused, cls) name,
#define GD_KIND_NOMEMBER(e, name, member, flags, unused, cls) name,
#define GD_KIND_NORECORD(e, name, flags, cls) name,
#include "gd/node_kinds.def"
};

const char *gd_kind_name(int kind)
{
    // A kind read from a file may be any 16-bit value.
    return kind >= 0 && kind <= NUM_NODES ? gd_node_type_ascii[kind] : "unknown_kind";
}

const char *const dc_op_string[dc_no_more_operators] = {
#define GD_OP_TEXT(e, text) text,
    GD_OP_KINDS(GD_OP_TEXT)
#undef GD_OP_TEXT
};

const char *gd_op_name(int op)
{
    return op >= 0 && op < dc_no_more_operators ? dc_op_string[op] : "unknown-op";
}

// ---------------------------------------------------------------------------
// Enumerator names, for the text form and the exporters

namespace {
const char *const src_lang_names[] = {"src_lang_none", "src_lang_c", "src_lang_cp", "src_lang_java"};
// A declaration without a language shows none.
const char *const src_lang_texts[] = {nullptr, "c", "c++", "java"};
const char *const visb_names[] = {"visb_unk", "visb_pri", "visb_pro", "visb_pub"};
const char *const aggr_names[] = {"aggr_class", "aggr_record", "aggr_struct",
                                  "aggr_union", "aggr_area",   "aggr_interface"};
const char *const virtual_code_names[] = {"vc_none", "vc_non_virtual", "vc_virtual", "vc_pure_virtual"};
const char *const op_kind_names[] = {
#define GD_OP_ENUMERATOR_NAME(e, text) #e,
    GD_OP_KINDS(GD_OP_ENUMERATOR_NAME)
#undef GD_OP_ENUMERATOR_NAME
};
}  // namespace

const gd_enum_names gd_enum_src_lang = {src_lang_names, 4, src_lang_texts};
const gd_enum_names gd_enum_t_visb = {visb_names, 4, nullptr};
const gd_enum_names gd_enum_t_aggr_enum = {aggr_names, 6, nullptr};
const gd_enum_names gd_enum_virtual_code = {virtual_code_names, 4, nullptr};
const gd_enum_names gd_enum_op_kind = {op_kind_names, dc_no_more_operators, nullptr};

// ---------------------------------------------------------------------------
// Layout checks: every field offset and record size is file format.

#pragma GCC diagnostic push
// Records derive from their base records, which makes them non-standard-layout
// for offsetof; g++ and clang++ lay them out as plain structs all the same.
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
namespace layout_check {
#define GD_KINDFIELD(n, off) static_assert(offsetof(R, n) == off, #n);
#define GD_NODE(n, off) static_assert(offsetof(R, n) == off, #n);
#define GD_NODES(n, off, count) static_assert(offsetof(R, n) == off && sizeof(R::n) == 4 * count, #n);
#define GD_STR(n, off) static_assert(offsetof(R, n) == off, #n);
#define GD_INT(n, off) static_assert(offsetof(R, n) == off, #n);
#define GD_UINT(n, off) static_assert(offsetof(R, n) == off, #n);
#define GD_ENUM(n, type, off) static_assert(offsetof(R, n) == off && sizeof(R::n) == 4, #n);
// Bit positions cannot be taken at compile time; the tests check them.
#define GD_BIT(n, byte, bit)
#define GD_BITS(n, type, byte, bit, width)
#define GD_ROOT(rec, bytes, flds)                                                                            \
    struct rec##_check {                                                                                     \
        using R = rec;                                                                                       \
        flds static_assert(sizeof(R) == bytes, #rec);                                                        \
    };
#define GD_RECORD(rec, base, bytes, flds)                                                                    \
    struct rec##_check {                                                                                     \
        using R = rec;                                                                                       \
        flds static_assert(sizeof(R) == bytes, #rec);                                                        \
    };
#define GD_ALIAS(rec, same)
#include "gd/node_records.def"
}  // namespace layout_check
#pragma GCC diagnostic pop

// ---------------------------------------------------------------------------
// Field lists per record

namespace {

template <class R> struct layout;  // layout<R>::all: every field of R, base fields first

template <size_t N> constexpr std::array<gd_field, N - 1> without_end_mark(const gd_field (&own)[N])
{
    std::array<gd_field, N - 1> out{};
    for (size_t i = 0; i + 1 < N; i++) out[i] = own[i];
    return out;
}

template <size_t A, size_t B>
constexpr std::array<gd_field, A + B> join(const std::array<gd_field, A> &base,
                                           const std::array<gd_field, B> &own)
{
    std::array<gd_field, A + B> out{};
    for (size_t i = 0; i < A; i++) out[i] = base[i];
    for (size_t i = 0; i < B; i++) out[A + i] = own[i];
    return out;
}

#define GD_KINDFIELD(n, off) gd_field{#n, GD_FT_KIND, off, 0, 0, nullptr},
#define GD_NODE(n, off) gd_field{#n, GD_FT_NODE, off, 0, 0, nullptr},
#define GD_NODES(n, off, count) gd_field{#n, GD_FT_NODES, off, 0, count, nullptr},
#define GD_STR(n, off) gd_field{#n, GD_FT_STR, off, 0, 0, nullptr},
#define GD_INT(n, off) gd_field{#n, GD_FT_INT, off, 0, 0, nullptr},
#define GD_UINT(n, off) gd_field{#n, GD_FT_UINT, off, 0, 0, nullptr},
#define GD_ENUM(n, type, off) gd_field{#n, GD_FT_ENUM, off, 0, 0, &gd_enum_##type},
#define GD_BIT(n, byte, bit) gd_field{#n, GD_FT_BITS, byte, bit, 1, nullptr},
#define GD_BITS(n, type, byte, bit, width) gd_field{#n, GD_FT_BITS, byte, bit, width, &gd_enum_##type},
// The empty entry ends each list, so that a record without fields of its own
// still has a well-formed list.
#define GD_ROOT(rec, bytes, flds)                                                                            \
    template <> struct layout<rec> {                                                                         \
        static constexpr gd_field own[] = {flds gd_field{}};                                                 \
        static constexpr auto all = without_end_mark(own);                                                   \
    };
#define GD_RECORD(rec, base, bytes, flds)                                                                    \
    template <> struct layout<rec> {                                                                         \
        static constexpr gd_field own[] = {flds gd_field{}};                                                 \
        static constexpr auto all = join(layout<base>::all, without_end_mark(own));                          \
    };
#define GD_ALIAS(rec, same)
#include "gd/node_records.def"

// ---------------------------------------------------------------------------
// Per-kind entries

// Pointer fields that the walkers leave alone (and the use test with them).
constexpr bool is_unwalked(std::string_view record, std::string_view field)
{
    return field == "inst" && (record == "t_dc_aggr_type" || record == "t_dc_function");
}

// The walkers visit t_eh_spec_block's `body` before `raises`, against the
// declaration order; ordinals that callers store depend on it.
constexpr void apply_walk_order(std::string_view record, gd_kind_info &k)
{
    if (record != "t_eh_spec_block") return;
    for (int i = 0; i + 1 < k.nlinks; i++) {
        if (std::string_view(k.links[i].name) == "raises" &&
            std::string_view(k.links[i + 1].name) == "body") {
            gd_link raises = k.links[i];
            k.links[i] = k.links[i + 1];
            k.links[i + 1] = raises;
        }
    }
}

constexpr int chain_offset(int code, unsigned flags, const gd_field *fields, int nfields)
{
    if (flags & GD_KF_CHAIN_ERROR) return -1;
    for (int i = 0; i < nfields; i++) {
        std::string_view name(fields[i].name);
        if (fields[i].type == GD_FT_NODE && (name == "next" || name == "chan")) return fields[i].offset;
    }
    // Ririra nodes that are not arcs chain through other_node.
    if (is_ririra_node_kind(code)) return 4;
    return -1;
}

template <size_t N>
constexpr gd_kind_info make_kind(int code, const char *enumerator, const char *name, const char *record,
                                 unsigned flags, const char *not_compared,
                                 const std::array<gd_field, N> &fields, size_t bytes)
{
    gd_kind_info k{};
    k.enumerator = enumerator;
    k.name = name;
    k.record = record;
    k.flags = flags | GD_KF_RECORD;
    k.record_bytes = (uint8_t)bytes;
    k.fields = fields.data();
    k.nfields = (uint8_t)N;
    for (size_t i = 0; i < N; i++) {
        const gd_field &f = fields[i];
        if (f.type == GD_FT_NODES) {
            k.links_counted = true;
            for (int s = 0; s < f.width; s++)
                k.links[k.nlinks++] = gd_link{f.name, (uint8_t)(f.offset + 4 * s), (uint8_t)s, true};
        } else if (f.type == GD_FT_NODE && !is_unwalked(record, f.name)) {
            bool compared = !(not_compared && std::string_view(not_compared) == f.name);
            k.links[k.nlinks++] = gd_link{f.name, f.offset, 0, compared};
        }
    }
    apply_walk_order(record, k);
    k.chain_offset = (int8_t)chain_offset(code, flags, fields.data(), (int)N);
    return k;
}

// A kind without a record still has the common head.
constexpr gd_kind_info make_kind_without_record(const char *enumerator, const char *name, unsigned flags)
{
    gd_kind_info k{};
    k.enumerator = enumerator;
    k.name = name;
    k.record = "gd_graph_common";
    k.flags = flags;
    k.chain_offset = -1;
    k.fields = layout<gd_graph_common>::all.data();
    k.nfields = (uint8_t)layout<gd_graph_common>::all.size();
    return k;
}

}  // namespace

constexpr gd_kind_info gd_kind_table[NUM_NODES + 1] = {
#define GD_KIND(e, name, member, flags, unused, cls)                                                         \
    make_kind(e, #e, name, "t_" #member, flags, unused, layout<t_##member>::all, sizeof(t_##member)),
#define GD_KIND_NOMEMBER(e, name, member, flags, unused, cls) GD_KIND(e, name, member, flags, unused, cls)
#define GD_KIND_NORECORD(e, name, flags, cls) make_kind_without_record(#e, name, flags),
#include "gd/node_kinds.def"
};

static_assert(gd_kind_table[gTREE_VEC].nlinks == 16 && gd_kind_table[gTREE_VEC].links_counted);
static_assert(gd_kind_table[gFUNCTION_DECL].nlinks == 9 && gd_kind_table[gFUNCTION_DECL].chain_offset == 20);
static_assert(gd_kind_table[dC_FUNCTION].nlinks == 9);
static_assert(gd_kind_table[gIF_STMT].chain_offset == 28 && gd_kind_table[dC_OBJECT].chain_offset == 4);
static_assert(gd_kind_table[gINTEGER_CST].chain_offset == -1 && gd_kind_table[dC_ARC_SON].chain_offset == 20);

const gd_field *gd_find_field(const gd_kind_info *k, const char *name)
{
    // A record may reuse a name of the common head (`static_flag` of
    // t_dc_object, `type` of t_gcc_decl): the record's own field wins, and
    // "common.<name>" names the head's.
    bool head = strncmp(name, "common.", 7) == 0;
    if (head) name += 7;
    const gd_field *found = nullptr;
    for (int i = 0; i < k->nfields; i++) {
        const gd_field &f = k->fields[i];
        if (f.type == GD_FT_KIND || strcmp(f.name, name) != 0) continue;
        if (head && f.offset >= sizeof(gd_graph_common)) continue;
        found = &f;
    }
    return found;
}

bool gd_field_is_hidden(const gd_kind_info *k, const gd_field *f)
{
    for (const gd_field *later = f + 1; later < k->fields + k->nfields; later++)
        if (strcmp(later->name, f->name) == 0) return true;
    return false;
}

void gd_field_set(gd_graph_node *p, const gd_field *f, int64_t v)
{
    unsigned char *at = p->bytes + f->offset;
    switch (f->type) {
    case GD_FT_KIND: {
        uint16_t k = (uint16_t)v;
        memcpy(at, &k, 2);
        return;
    }
    case GD_FT_BITS: {
        // Only the field's own bits change; the byte holds neighbours.
        uint8_t mask = (uint8_t)(((1u << f->width) - 1) << f->bit);
        *at = (uint8_t)((*at & ~mask) | (((uint32_t)v << f->bit) & mask));
        return;
    }
    default: {
        uint32_t w = (uint32_t)v;
        memcpy(at, &w, 4);
        return;
    }
    }
}
