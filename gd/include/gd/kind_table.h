// The per-kind field table: for each node kind, its record, every field of
// the record with its byte offset, and its pointer fields in walk order.
//
// Generated from node_records.def and node_kinds.def, it is the one place
// that knows the layouts: the walkers, the use test and the text form read
// it, and later passes that need "every link of a node" should too.
#pragma once

#include <cstring>

#include "gd/graph.h"

enum gd_field_type : uint8_t {
    GD_FT_KIND,   // the 16-bit kind at offset 0
    GD_FT_NODE,   // node_ptr
    GD_FT_NODES,  // array of `width` node_ptr
    GD_FT_STR,    // str_ptr
    GD_FT_INT,    // signed 32-bit
    GD_FT_UINT,   // unsigned 32-bit
    GD_FT_ENUM,   // 32-bit enumeration, enumerator names in `values`
    GD_FT_BITS,   // `width` bits from bit `bit` of byte `offset`; names in `values` when an enumeration
};

// The enumerator names of an enumeration, indexed by value.
struct gd_enum_names {
    const char *const *names;
    int count;
    // The short text of each value that the exporters show (nullptr for a
    // value they leave out), or nullptr for an enumeration without texts.
    const char *const *texts;
};

struct gd_field {
    const char *name;
    gd_field_type type;
    uint8_t offset;  // byte offset in the record
    uint8_t bit;     // first bit, GD_FT_BITS only
    uint8_t width;   // bits (GD_FT_BITS) or slots (GD_FT_NODES); 0 otherwise
    const gd_enum_names *values;
};

// One node_ptr of a kind, in walk order (its index is its walk ordinal).
struct gd_link {
    const char *name;
    uint8_t offset;  // byte offset of this node_ptr in the record
    uint8_t slot;    // element of an array field (t_tree_vec's elts), else 0
    bool compared;   // the use test compares it
};

enum : unsigned {
    GD_KF_RECORD = 1,       // the kind has a record
    GD_KF_UNWALKED = 2,     // the walkers pass the kind over
    GD_KF_CHAIN_ERROR = 4,  // nextNode/setNext stop the program on the kind
};

// The class of a node kind, from the last column of node_kinds.def: what
// code that treats a group of kinds alike asks of a kind, so that a group is
// written once, beside the kinds, and not as a range of codes or a list of
// cases where it is used. Every kind has one class; the predicates below
// join classes where a group spans several. A class says nothing of whether
// the kind has a record (four compiler kinds have none).
//
// The compiler tree's classes come first, then the Ririra nodes', then the
// arcs', then GD_KC_NONE; the predicates rely on that order.
enum gd_kind_class : uint8_t {
    // The compiler's tree (codes 0-223).
    GD_KC_TREE,               // the tree's own structure: error mark, identifiers, lists, vectors, blocks,
                              // bindings, overloads, wrappers, template parameter indices, default arguments
    GD_KC_TYPE,               // the twelve types the translation converts (is_gcc_type)
    GD_KC_OTHER_TYPE,         // the other t_gcc_type records: complex, vector, char, offset, file, set,
                              // qualified union and language types, the template type kinds, typename, typeof
    GD_KC_CONSTANT,           // the t_gcc_const records: integer, real, complex, string, pointer to member
    GD_KC_DECLARATION,        // function_decl to namespace_decl
    GD_KC_OTHER_DECLARATION,  // template_decl and using_decl, t_gcc_decl records too
    GD_KC_EXPRESSION,         // references, operators, conversions and the other expressions
    GD_KC_STATEMENT,          // the kinds chained by `next` as statements (and using_directive)
    // Ririra nodes (224-289): records that begin with t_dc_asg_nd.
    GD_KC_RIRIRA_OTHER,       // the plain node, link symbols, instantiations, SQL statements, comments,
                              // throw lists, asm blocks
    GD_KC_RIRIRA_IDENTIFIER,  // identifiers that are no type and no scope: the plain identifier, objects,
                              // functions, labels, enumerators, templates
    GD_KC_RIRIRA_TYPE,        // dC_TYPE to dC_FORMAL_TYPE
    GD_KC_SCOPE,              // dC_SCOPE to dC_SYNCHRONIZED_BLOCK, which hold `contents`
    GD_KC_RIRIRA_EXPRESSION,  // dC_EXPRESSION to dC_DESTROY_EXPR
    GD_KC_RIRIRA_STATEMENT,   // dC_CNTRL_STMT to dC_FOR_LOOP
    // Ririra arcs (290-312): records that begin with t_dc_arc, chained by `next`.
    GD_KC_ARC,            // dC_ARC itself
    GD_KC_REFERENCE_ARC,  // dC_ARC_REFERENCE and the kinds of its layout
    GD_KC_SYNTAX_ARC,     // dC_ARC_SYNTAX and the kinds of its layout
    // No node: a free record, an untyped one, the count of kinds, and every
    // code beyond it (a file may hold any 16-bit kind).
    GD_KC_NONE,
};

// The class column, indexed by kind (0 .. NUM_NODES).
inline constexpr gd_kind_class gd_kind_classes[] = {
#define GD_KIND(e, name, member, flags, unused, cls) cls,
#define GD_KIND_NOMEMBER(e, name, member, flags, unused, cls) cls,
#define GD_KIND_NORECORD(e, name, flags, cls) cls,
#include "gd/node_kinds.def"
};
static_assert(sizeof gd_kind_classes == NUM_NODES + 1, "one class per kind");

// The class of any kind value.
constexpr gd_kind_class gd_kind_class_of(int kind)
{
    return kind >= 0 && kind <= NUM_NODES ? gd_kind_classes[kind] : GD_KC_NONE;
}

// The compiler tree's kinds (0-223).
constexpr bool is_compiler_kind(int kind)
{
    return gd_kind_class_of(kind) <= GD_KC_STATEMENT;
}
// The Ririra kinds but the arcs (224-289): records that begin with
// t_dc_asg_nd (`file`, `line`) and chain through other_node.
constexpr bool is_ririra_node_kind(int kind)
{
    const gd_kind_class c = gd_kind_class_of(kind);
    return c >= GD_KC_RIRIRA_OTHER && c <= GD_KC_RIRIRA_STATEMENT;
}
// The Ririra arcs (290-312).
constexpr bool is_arc_kind(int kind)
{
    const gd_kind_class c = gd_kind_class_of(kind);
    return c == GD_KC_ARC || c == GD_KC_REFERENCE_ARC || c == GD_KC_SYNTAX_ARC;
}
// The compiler declarations: records that begin with t_gcc_decl, chained by
// `chan`.
constexpr bool is_declaration_kind(int kind)
{
    const gd_kind_class c = gd_kind_class_of(kind);
    return c == GD_KC_DECLARATION || c == GD_KC_OTHER_DECLARATION;
}
// The Ririra kinds whose records begin with t_dc_identifier and so carry a
// `name`: identifiers, types and scopes (226-259).
constexpr bool is_ririra_identifier_kind(int kind)
{
    const gd_kind_class c = gd_kind_class_of(kind);
    return c == GD_KC_RIRIRA_IDENTIFIER || c == GD_KC_RIRIRA_TYPE || c == GD_KC_SCOPE;
}
// The Ririra scopes (238-250), which hold `contents`.
constexpr bool is_scope_kind(int kind)
{
    return gd_kind_class_of(kind) == GD_KC_SCOPE;
}

constexpr int GD_MAX_LINKS = 16;

struct gd_kind_info {
    const char *enumerator;  // "gFUNCTION_DECL"
    const char *name;        // printed name, as gd_node_type_ascii
    const char *record;      // "t_function_decl"
    unsigned flags;
    uint8_t record_bytes;
    int8_t chain_offset;  // byte offset of the link nextNode/setNext use, -1 for none
    bool
        links_counted;  // the links after the first two are elements in use, counted by `length` (t_tree_vec)
    uint8_t nfields;
    uint8_t nlinks;
    const gd_field *fields;  // base fields first, in record order
    gd_link links[GD_MAX_LINKS];
};

// The entries of the kinds 0 .. NUM_NODES; read it through gd_kind_info_of.
extern const gd_kind_info gd_kind_table[NUM_NODES + 1];

// The entry of a kind, or nullptr for a code beyond NUM_NODES. Kinds without
// a record (GD_KF_RECORD clear) list the fields of the common head. Inline:
// every walk and sweep asks it once per record.
inline const gd_kind_info *gd_kind_info_of(int kind)
{
    return kind >= 0 && kind <= NUM_NODES ? &gd_kind_table[kind] : nullptr;
}

// The field of kind k called name (the kind field excepted), or nullptr.
// Where a record reuses a name of the common head, the record's field is
// found, and "common.<name>" finds the head's.
const gd_field *gd_find_field(const gd_kind_info *k, const char *name);
// True when a later field of k's record has f's name (f is then reached as
// "common.<name>").
bool gd_field_is_hidden(const gd_kind_info *k, const gd_field *f);

// The number of links of node record p to walk or compare: nlinks, or for a
// counted kind the first two links and the elements in use (`length` clamped
// to the slots there are, since a file may hold any length).
inline int gd_links_in_use(const gd_kind_info *k, const gd_graph_node *p)
{
    if (!k->links_counted) return k->nlinks;
    int32_t length = p->tree_vec.length;
    const int slots = k->nlinks - 2;
    if (length < 0) length = 0;
    if (length > slots) length = slots;
    return 2 + length;
}

// The node_ptr values that the use test (nodeUses) compares for node src, in
// its order, stored in `out`: their number; 0 for an index out of range, a
// free or an untyped record; -1 for a kind that has no use test (nodeUses
// stops the program on it). Inline: a search for users asks it of every
// record.
inline int gd_compared_links(const gd_graph *g, node_ptr src, node_ptr out[GD_MAX_LINKS])
{
    if (!node_valid(g, src)) return 0;
    const gd_graph_node *p = &g->nodeBuffer[src];
    gd_node_type kind = p->common.type;
    if (kind == NODE_DELTED || kind == NODE_NONE) return 0;
    const gd_kind_info *info = gd_kind_info_of(kind);
    if (!info || !(info->flags & GD_KF_RECORD)) return -1;
    int links = gd_links_in_use(info, p);
    int count = 0;
    for (int l = 0; l < links; l++) {
        const gd_link &link = info->links[l];
        if (link.compared) memcpy(&out[count++], p->bytes + link.offset, sizeof(node_ptr));
    }
    return count;
}

// Reading and writing a field of a record as a number (no GD_FT_NODES). The
// read is inline: the exporters read every field they show through it.
inline int64_t gd_field_get(const gd_graph_node *p, const gd_field *f)
{
    const unsigned char *at = p->bytes + f->offset;
    switch (f->type) {
    case GD_FT_KIND: {
        uint16_t v;
        memcpy(&v, at, 2);
        return v;
    }
    case GD_FT_UINT: {
        uint32_t v;
        memcpy(&v, at, 4);
        return v;
    }
    case GD_FT_BITS: return (*at >> f->bit) & ((1u << f->width) - 1);
    default: {
        int32_t v;
        memcpy(&v, at, 4);
        return v;
    }
    }
}
void gd_field_set(gd_graph_node *p, const gd_field *f, int64_t v);

extern const gd_enum_names gd_enum_src_lang;
extern const gd_enum_names gd_enum_t_visb;
extern const gd_enum_names gd_enum_t_aggr_enum;
extern const gd_enum_names gd_enum_virtual_code;
extern const gd_enum_names gd_enum_op_kind;
