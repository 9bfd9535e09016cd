// The graph store: the gd graph of one translation unit, its 72-byte node
// records, the gd graph file, the string pool, node allocation, the use test,
// the pointer-field walkers, the work queue and the schema helpers.
//
// Nodes refer to each other by index (node_ptr) and to strings by byte offset
// into the string pool (str_ptr), never by address, so every buffer of a graph
// may move whenever a node or string is added.
//
// How the store says that something failed, the same way throughout:
// - An operation that can fail returns a gd_success: 1 when it did what it
//   was asked, 0 when it did not, and says why (on standard error, unless
//   its declaration names errno or an error string instead). What it was to
//   change is then as it was, unless its declaration says otherwise.
// - A look-up that can find nothing returns -1 for a node_ptr or str_ptr,
//   or nullptr for an address; a question (nodeUses, queue_empty) answers 1
//   or 0.
// - The reader, which returns a graph, returns the empty graph of
//   gd_empty_graph when it refuses a file, after its message.
// - A condition that no caller can mend ends the program through gd_fatal,
//   after its message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <type_traits>

typedef int node_ptr;    // index into nodeBuffer, -1 for none
typedef int str_ptr;     // byte offset into stringBuffer, -1 for none
typedef int gd_success;  // 1 when an operation did what it was asked, else 0

// ---------------------------------------------------------------------------
// Node kinds

enum gd_node_type : uint16_t {
#define GD_KIND(e, name, member, flags, unused, cls) e,
#define GD_KIND_NOMEMBER(e, name, member, flags, unused, cls) e,
#define GD_KIND_NORECORD(e, name, flags, cls) e,
#include "gd/node_kinds.def"
};
static_assert(gRVALUE_CONV == 223 && dC_ASG_ND == 224 && dC_ARC == 290 && dC_ARC_ARRAY_DIM == 312);
static_assert(NODE_DELTED == 313 && NODE_NONE == 314 && NUM_NODES == 315);

// Printable kind names, indexed by kind (0 .. NUM_NODES). A kind read from a
// file may lie beyond the table: use gd_kind_name for those.
extern const char *const gd_node_type_ascii[NUM_NODES + 1];
const char *gd_kind_name(int kind);

// ---------------------------------------------------------------------------
// Enumerations stored in records (all 32-bit, fixed underlying types so that
// any value read from a file is a valid value of the type)

enum src_lang : int32_t { src_lang_none, src_lang_c, src_lang_cp, src_lang_java };
enum t_visb : int32_t { visb_unk, visb_pri, visb_pro, visb_pub };
enum t_aggr_enum : int32_t { aggr_class, aggr_record, aggr_struct, aggr_union, aggr_area, aggr_interface };
enum virtual_code : uint32_t { vc_none, vc_non_virtual, vc_virtual, vc_pure_virtual };

// Ririra operators: enumerator, printed name.
// clang-format off
#define GD_OP_KINDS(X) \
  X(dc_uplus, "uplus") X(dc_uminus, "uminus") X(dc_pre_inc, "pre-inc") X(dc_pre_dec, "pre-dec") \
  X(dc_post_inc, "post-inc") X(dc_post_dec, "post-dec") X(dc_bplus, "bplus") X(dc_bminus, "bminus") \
  X(dc_modulo, "modulo") X(dc_mult, "mult") X(dc_div, "div") X(dc_bit_and, "bit-and") \
  X(dc_bit_or, "bit-or") X(dc_bit_xor, "bit-xor") X(dc_rshift, "rshift") X(dc_lshift, "lshift") \
  X(dc_bit_not, "bit-not") X(dc_tst_eq, "tst-eq") X(dc_tst_ne, "tst-ne") X(dc_tst_ge, "tst-ge") \
  X(dc_tst_le, "tst-le") X(dc_tst_gt, "tst-gt") X(dc_tst_lt, "tst-lt") X(dc_tst_min, "tst-min") \
  X(dc_tst_max, "tst-max") X(dc_not, "not") X(dc_xor, "xor") X(dc_and, "and") X(dc_or, "or") \
  X(dc_asgn_eq, "asgn-eq") X(dc_asgn_plus, "asgn-plus") X(dc_asgn_minus, "asgn-minus") \
  X(dc_asgn_mult, "asgn-mult") X(dc_asgn_div, "asgn-div") X(dc_asgn_mod, "asgn-mod") \
  X(dc_asgn_lshift, "asgn-lshift") X(dc_asgn_rshift, "asgn-rshift") X(dc_asgn_bit_and, "asgn-bit-and") \
  X(dc_asgn_bit_or, "asgn-bit-or") X(dc_asgn_bit_xor, "asgn-bit-xor") X(dc_asgn_lt, "asgn-lt") \
  X(dc_asgn_gt, "asgn-gt") X(dc_question, "question") X(dc_addr, "addr") X(dc_deref, "deref") \
  X(dc_pointsat, "pointsat") X(dc_pointsat_deref, "pointsat-deref") X(dc_array_ref, "array-ref") \
  X(dc_fct_call, "fct-call") X(dc_cast_call, "cast-call") X(dc_field_access, "field-access") \
  X(dc_field_deref, "field-deref") X(dc_sizeof, "sizeof") X(dc_comma, "comma") \
  X(dc_const_cast, "const-cast") X(dc_static_cast, "static-cast") X(dc_reint_cast, "reint-cast") \
  X(dc_dynam_cast, "dynam-cast") X(dc_type_id, "type-id") X(dc_sign_of, "sign-of") X(dc_range, "range") \
  X(dc_unk, "unk") X(dc_va_arg, "va-arg") X(dc_abs, "abs")
// clang-format on

enum op_kind : int32_t {
#define GD_OP_ENUMERATOR(e, text) e,
    GD_OP_KINDS(GD_OP_ENUMERATOR)
#undef GD_OP_ENUMERATOR
        dc_no_more_operators
};
static_assert(dc_abs == 63 && dc_no_more_operators == 64);

// Printable operator names, indexed by op_kind 0 .. 63. An operator read from
// a file may lie beyond the table: use gd_op_name for those.
extern const char *const dc_op_string[dc_no_more_operators];
const char *gd_op_name(int op);

// ---------------------------------------------------------------------------
// Node records, generated from node_records.def

#define GD_KINDFIELD(n, off) gd_node_type n;
#define GD_NODE(n, off) node_ptr n;
#define GD_NODES(n, off, count) node_ptr n[count];
#define GD_STR(n, off) str_ptr n;
#define GD_INT(n, off) int32_t n;
#define GD_UINT(n, off) uint32_t n;
#define GD_ENUM(n, type, off) type n;
#define GD_BIT(n, byte, bit) unsigned n : 1;
#define GD_BITS(n, type, byte, bit, width) unsigned n : width;
#define GD_ROOT(rec, bytes, fields)                                                                          \
    struct rec {                                                                                             \
        fields                                                                                               \
    };
#define GD_RECORD(rec, base, bytes, fields)                                                                  \
    struct rec : base {                                                                                      \
        fields                                                                                               \
    };
#define GD_ALIAS(rec, same) typedef same rec;
#include "gd/node_records.def"

// One node record: the union of the records of all kinds, plus the base
// records under short names.
union gd_graph_node {
    gd_graph_common common;
    t_gcc_decl decl;
    t_gcc_type type;
    t_gcc_expr expr;
    t_gcc_expr1 expr1;
    t_gcc_expr2 expr2;
    t_gcc_expr_ineq expr_ineq;
    t_gcc_const gcc_cst;
    t_popdhc_expr popdhc_expr;
    t_popdcc_expr popdcc_expr;
#define GD_KIND(e, name, member, flags, unused, cls) t_##member member;
#define GD_KIND_NOMEMBER(e, name, member, flags, unused, cls)
#define GD_KIND_NORECORD(e, name, flags, cls)
#include "gd/node_kinds.def"
    unsigned char bytes[72];
};
static_assert(sizeof(gd_graph_node) == 72, "a node record is 72 bytes in the file");

// ---------------------------------------------------------------------------
// The graph

// How a chain of filter steps first found its unit damaged.
enum class gd_chain_damage : uint8_t {
    none,
    link_to_free_record,     // a link, as the chain found it, to a free record
    link_past_the_records,   // a link to a record at or past curNodePos
    chain_meets_node_again,  // a chain walk met one of its nodes again
    chain_longer_than_unit,  // a chain walk passed more nodes than the unit held
};

// The state of the chain of filter steps that runs on a graph, beside it:
// set up when the chain begins (the steps of talvexf, or the one step of a
// single-filter program) and kept by the filters' walks that make nodes for
// every node they pass (gd/filters/arcs_and_chains.h).
struct gd_chain_state {
    bool begun = false;
    uint32_t startRecords = 0;  // curNodePos when the chain began
    // The first damage found: what, at which node and, for a link or a node
    // met again, which record.
    gd_chain_damage damage = gd_chain_damage::none;
    node_ptr damageAt = -1;
    node_ptr damageTo = -1;
    // Records the walks have made since the damage was found.
    uint64_t damagedGrowth = 0;
};

struct gd_graph {
    uint32_t stringBuffLen;  // capacity of the pool in bytes
    uint32_t curStringPos;   // bytes in use; the next string goes here
    char *stringBuffer;      // stringBuffLen bytes and one more; the bytes at
                             // curStringPos and at stringBuffLen are NUL
    uint32_t hashTableLen;   // hash slots
    int32_t *hashTable;      // pool offsets, -1 for an empty slot; once the
                             // pool is in use only its functions set slots
    uint32_t nodeBuffLen;    // capacity in records
    uint32_t curNodePos;     // one past the highest index ever handed out
    node_ptr firstNode;      // the root node, -1 for none
    gd_graph_node *nodeBuffer;
    node_ptr firstFreeNode;  // head of the free list, -1 when empty
    // The string pool's own lookup aids beside the hash table (nullptr until
    // the pool first needs them); released by deallocate_gd_graph. Never
    // written to a file.
    struct gd_pool_index *poolIndex;
    // The free records below curNodePos, one bit each, kept by the store from
    // the first gd_make_freelist on, so that relinking the free list after a
    // change of capacity visits only them (nullptr when there is none yet, and
    // then the list is relinked by a scan). Released by deallocate_gd_graph;
    // never written to a file.
    struct gd_free_set *freeSet;
    // What the chain of filter steps running on the graph knows of it. Never
    // written to a file.
    gd_chain_state chain;
};

// Magic and version of the gd graph file.
extern const char gd_magic[4];
constexpr unsigned gd_major_version = 5;
constexpr unsigned gd_minor_version = 0;

gd_graph gd_graph_read_binary_file(const char *filename);
// The same graph, for a program that only looks at it and never allocates a
// node: the free list is not built (firstFreeNode is -1, and the records of
// kind NODE_DELTED are left as the file holds them).
gd_graph gd_graph_read_binary_file_to_inspect(const char *filename);
// A write that fails part way leaves what it wrote in f; the file of
// gd_graph_write_binary_file appears whole or not at all.
gd_success gd_graph_write_binary(FILE *f, gd_graph g);
gd_success gd_graph_write_binary_file(const char *filename, gd_graph g);
gd_graph allocate_gd_graph(unsigned long StringSize, unsigned long HashSize, unsigned long GraphSize);
void deallocate_gd_graph(gd_graph g);
// The graph that the reader and allocate_gd_graph return on failure.
gd_graph gd_empty_graph(void);

// ---------------------------------------------------------------------------
// Checked access. Every index, offset and kind taken from a graph goes through
// these: a graph read from a file may hold anything.

// 1 when 0 <= i < curNodePos.
inline int node_valid(const gd_graph *g, node_ptr i)
{
    return i >= 0 && (uint32_t)i < g->curNodePos;
}
// The record of node i, or nullptr for an invalid index.
inline gd_graph_node *node_at(const gd_graph *g, node_ptr i)
{
    return node_valid(g, i) ? &g->nodeBuffer[i] : nullptr;
}
// The kind of node i; NODE_NONE for an invalid index.
inline gd_node_type kind_of(const gd_graph *g, node_ptr i)
{
    return node_valid(g, i) ? g->nodeBuffer[i].common.type : NODE_NONE;
}
// Whether the record of kind k holds a T: the kind's record is T or has T as
// a base (every record has gd_graph_common; every declaration t_gcc_decl).
// Kinds without a record and codes beyond the table hold none.
template <class T>
inline constexpr bool gd_kind_holds[NUM_NODES + 1] = {
#define GD_KIND(e, name, member, flags, unused, cls) std::is_base_of_v<T, t_##member>,
#define GD_KIND_NOMEMBER(e, name, member, flags, unused, cls) std::is_base_of_v<T, t_##member>,
#define GD_KIND_NORECORD(e, name, flags, cls) false,
#include "gd/node_kinds.def"
};

// The record of node i as a T, or nullptr when i is out of range or the
// node's kind has no T record. The index and the kind are checked together,
// so code that reads a link from the graph cannot use one without the other:
//   if (const t_dc_arc *a = record<t_dc_arc>(g, i)) use(a->dest);
// Where the caller knows the kind already, record_of (gd/record.h) gives the
// record itself.
template <class T> inline T *record(gd_graph *g, node_ptr i)
{
    if (!node_valid(g, i)) return nullptr;
    const unsigned k = g->nodeBuffer[i].common.type;
    return k <= NUM_NODES && gd_kind_holds<T>[k] ? reinterpret_cast<T *>(&g->nodeBuffer[i]) : nullptr;
}
template <class T> inline const T *record(const gd_graph *g, node_ptr i)
{
    return record<T>(const_cast<gd_graph *>(g), i);
}

// The string stored at offset off, or nullptr when off lies outside the bytes
// in use. The pool always ends with a NUL, so the result is terminated.
inline const char *string_at(const gd_graph *g, str_ptr off)
{
    return off >= 0 && (uint32_t)off < g->curStringPos ? g->stringBuffer + off : nullptr;
}

// ---------------------------------------------------------------------------
// String pool

unsigned long primary_hash(const char *inString, unsigned long nbytes, unsigned long tableSize);
unsigned long secondary_hash(const char *inString, unsigned long nbytes, unsigned long prev,
                             unsigned long tableSize);
long do_hash(gd_graph g, const char *string, unsigned long nbytes);
str_ptr gd_lookup_mem(gd_graph *g, const char *string, unsigned long nbytes);
str_ptr gd_lookup_string(gd_graph *g, const char *string);
str_ptr gd_add_mem(gd_graph *g, const char *newstring, unsigned long nbytes);
str_ptr gd_add_string(gd_graph *g, const char *newstring);
// Releases a graph's poolIndex (deallocate_gd_graph does).
void gd_pool_index_release(gd_pool_index *index);

// ---------------------------------------------------------------------------
// Node allocation

// The records from curNodePos up are all free and are never written before
// newNode hands them out: the free list is the free records below curNodePos,
// linked through other_node, followed by those records in ascending order,
// which hold no links of their own. Follow the list with gd_next_free.
//
// gd_make_freelist rebuilds the list by a scan of every record. The store
// then keeps the graph's freeSet in step with gd_free_node and newNode, and
// a change of capacity (gd_graph_scale, gd_grow_nodes) relinks the same list
// from that set, visiting only the free records. Code that gives records the
// kind NODE_DELTED, or takes it from them, in any other way (a test building
// a graph by hand) calls gd_make_freelist afterwards.
void gd_make_freelist(gd_graph *g);
// Releases a graph's freeSet (deallocate_gd_graph does).
void gd_free_set_release(gd_free_set *set);
// The record after i on the free list, -1 at its end.
node_ptr gd_next_free(const gd_graph *g, node_ptr i);
void gd_free_node(gd_graph *g, node_ptr n);
gd_success gd_grow_nodes(gd_graph *g, unsigned long grow_amt);
gd_success gd_graph_scale(gd_graph *g, float string_mult, float hash_mult, float node_mult);
void newNode_start(void);
void newNode_stop(void);
node_ptr newNode(gd_graph *g);
// Gives record i the kind k with every field cleared the way new nodes are:
// node_ptr and str_ptr fields and `line`/`srcl` -1, everything else 0.
void gd_clear_node(gd_graph *g, node_ptr i, gd_node_type k);

// ---------------------------------------------------------------------------
// Use test

int nodeUses(gd_graph g, node_ptr src, node_ptr dest);
int UsedBy(gd_graph g, int dest, int useFlag);
int is_gcc_type(gd_node_type t);

// ---------------------------------------------------------------------------
// Pointer-field walkers

// Called once per node_ptr field: the node, the field's address inside the
// node buffer and the field's ordinal (0 is other_node).
typedef void (*callback)(gd_graph *g, node_ptr np, node_ptr *field, int n);

void walk_ptrs(gd_graph *g, callback f);
// A walk over no field: takes and releases the allocation stop as walk_ptrs
// does, and never calls f. It keeps walk_ptrs' parameters so that either can
// be passed where a walk of that type is expected; no program of the system
// calls it.
void walk_structure(gd_graph *g, callback f);
// Walks the pointer fields of one node by its kind, ordinals from n; returns
// the next free ordinal. Kinds that are not walked make no call.
int gd_walk_node(gd_graph *g, node_ptr np, gd_graph_node *p, callback f, int n);

// ---------------------------------------------------------------------------
// Work queue, chains and schema helpers

// One entry of the work queue: a node and the value its caller stores with it.
struct t_queue_node {
    node_ptr nodenum;
    int byChan;
};

void queue_add(node_ptr nodenum, int byChan);
// Takes the head of the queue: 1, or -1 (and nodenum -1) when it is empty.
int queue_first(node_ptr *nodenum, int *byChan);
int queue_empty(void);

node_ptr nextNode(gd_graph *g, node_ptr i);
node_ptr setNext(gd_graph *g, node_ptr i, node_ptr val);
t_visb visibility(gd_graph_common *common);
str_ptr name_string(gd_graph *g, t_gcc_decl *decl);
void addToScope(gd_graph *g, node_ptr scope, node_ptr node);

// Appends many members to one scope's member list at the cost of one step
// each: the list's last dC_ARC_SON arc is found once, by the walk addToScope
// makes, at the first append, and kept from then on. The arcs go exactly
// where repeated addToScope calls would put them, as long as nothing else
// changes the list between appends.
struct scope_tail {
    node_ptr scope = -1;  // -1 (or any non-scope) ignores every append
    bool found = false;   // whether `last` has been looked up yet
    node_ptr last = -1;   // the last member arc, -1 for an empty list
};

// A tail for scope `scope`, looked up at the first append.
scope_tail scope_tail_of(node_ptr scope);
// Makes a dC_ARC_SON arc from the tail's scope to `node` (a new node: the
// buffer may move) and links it after the last member. Returns the arc, or -1
// (nothing made) when the tail's scope is not a scope.
node_ptr append_to_scope(gd_graph *g, scope_tail &tail, node_ptr node);

// ---------------------------------------------------------------------------
// Fatal conditions

// The store and the filters end the program on a few conditions by design,
// after their message: through gd_fatal, which by default exits with the
// given status. A host that must go on after such an input (a fuzz target
// running input after input) installs a handler that leaves by throwing or
// jumping; a handler that returns is followed by the exit all the same.
// Before the handler runs, the run state (the work queue, running walks, the
// allocation stop: gd/run_state.h) is reset, so the next graph starts clean.
typedef void (*gd_fatal_handler)(int status);
// Installs `handler` (nullptr restores the exit) and returns the previous one.
gd_fatal_handler gd_set_fatal_handler(gd_fatal_handler handler);
[[noreturn]] void gd_fatal(int status);
// Memory that ran out where a gd program cannot go on without it (a node, a
// string, a hash slot, a queue entry; gd/memory_stop.h for the containers):
// "talvex: (fatal) no space left" on standard error, then gd_fatal(1).
[[noreturn]] void gd_no_space_left(void);
