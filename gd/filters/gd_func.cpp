// The gd_func family: every function declaration becomes a Ririra function
// with its link-time symbol, exception specification, body, member-initialiser
// block, return-type arc and formal parameters.

#include <cstdio>

#include <gd/filters/filters.h>

#include "arcs_and_chains.h"
#include "ririra_records.h"

namespace {

// What the conversion needs of a function declaration, read before anything
// is written: the function record overlaps the declaration's fields.
struct declared_function {
    str_ptr file;
    int line;
    str_ptr name;
    t_visb visb;
    node_ptr type;
    node_ptr mngl;
    node_ptr vindex;
    node_ptr args;
    node_ptr body;
    bool undef;
    bool member;
    bool static_member;
    bool virt;
    bool pvirt;
    bool public_flag;
};

declared_function read_declared_function(gd_graph *g, node_ptr f)
{
    t_function_decl &fd = record_of<t_function_decl>(g, f);
    declared_function d{};
    d.file = fd.srcf;
    d.line = fd.srcl;
    d.name = name_string(g, &fd);
    d.visb = visibility(&fd);
    d.type = fd.type;
    d.mngl = fd.mngl;
    d.vindex = fd.vindex;
    d.args = fd.args;
    d.body = fd.body;
    d.undef = fd.undef;
    d.member = fd.member;
    d.static_member = fd.static_member;
    d.virt = fd.virt;
    d.pvirt = fd.pvirt;
    d.public_flag = fd.public_flag;
    return d;
}

// Copies arc `arc` for a new source when it is a valid arc of kind `kind` (an
// arc kind); returns the copy, or -1 (nothing allocated) otherwise.
node_ptr copy_arc_for(gd_graph *g, node_ptr arc, gd_node_type kind, node_ptr src)
{
    if (kind_of(g, arc) != kind) return -1;
    const node_ptr c = copy_node(g, arc);
    record_of<t_dc_arc>(g, c).src = src;
    return c;
}

// The return-type arc and the formals' arc chain of the function type `type`,
// seen through one alias; -1 for both when it is no function type.
void function_type_parts(const gd_graph *g, node_ptr type, node_ptr &ret, node_ptr &formals)
{
    ret = formals = -1;
    if (const t_dc_alias_type *alias = record<t_dc_alias_type>(g, type)) {
        const t_dc_arc *inst = record<t_dc_arc>(g, alias->instance);
        type = inst ? inst->dest : -1;
    }
    if (const t_dc_fct_type *fct = record<t_dc_fct_type>(g, type)) {
        ret = fct->instance;
        formals = fct->formalParams;
    }
}

// The exception specification: a throw-spec node listing the types of the
// `raises` chain in reverse order, and the function's arc to it.
node_ptr add_throw_spec(gd_graph *g, node_ptr f, node_ptr raises)
{
    const node_ptr throw_node = newNode(g);
    gd_clear_node(g, throw_node, dC_THROW_SPEC);
    node_ptr except = -1;
    growth_walk walk(g, "gd_func");
    for (node_ptr cell = raises; kind_of(g, cell) == gTREE_LIST && walk.takes(cell);) {
        const t_tree_list &c = record_of<t_tree_list>(g, cell);
        const node_ptr value = c.value;
        const node_ptr chan = c.chan;
        const node_ptr a = new_arc(g, dC_ARC_SON, throw_node, value);
        record_of<t_dc_arc>(g, a).next = except;
        except = a;
        cell = chan;
    }
    record_of<t_dc_throw_spec>(g, throw_node).except = except;
    return new_arc(g, dC_ARC_SON, f, throw_node);
}

// The body: the arc to the main block, followed by the arc to the block of
// member initialisers when the function is a constructor that has any.
node_ptr add_body(gd_graph *g, node_ptr f, const declared_function &d, node_ptr b)
{
    node_ptr init_edge = -1;
    if (const t_scope_stmt *scope = record<t_scope_stmt>(g, b)) b = scope->next;
    if (const t_ctor_stmt *ctor = record<t_ctor_stmt>(g, b)) {
        b = ctor->next;
        if (kind_of(g, b) == gEXPR_STMT) {
            const node_ptr init_block = newNode(g);
            gd_clear_node(g, init_block, dC_BLOCK);
            {
                t_dc_block &init = record_of<t_dc_block>(g, init_block);
                init.file = d.file;
                init.line = d.line;
            }
            init_edge = new_arc(g, dC_ARC_SON, f, init_block);
            // Each initialiser goes in front, so the block lists them in
            // reverse order.
            growth_walk walk(g, "gd_func");
            while (kind_of(g, b) == gEXPR_STMT && walk.takes(b)) {
                const node_ptr next = record_of<t_expr_stmt>(g, b).next;
                const node_ptr a = new_arc(g, dC_ARC_SON, init_block, b);
                t_dc_block &init = record_of<t_dc_block>(g, init_block);
                record_of<t_dc_arc>(g, a).next = init.contents;
                init.contents = a;
                b = next;
            }
        }
    }
    node_ptr block = init_edge;
    if (kind_of(g, b) == gCOMPOUND_STMT) {
        const node_ptr main_edge = new_arc(g, dC_ARC_SON, f, b);
        record_of<t_dc_arc>(g, main_edge).next = block;
        block = main_edge;
    }
    return block;
}

// Formals from the parameter declarations of `args`. A parameter met for the
// first time is converted in place; one already converted for another
// function sharing the chain is copied, with its own type and scope arcs, so
// that each arc's source is the formal that refers to it.
node_ptr add_declared_formals(gd_graph *g, node_ptr f, node_ptr args)
{
    node_ptr head = -1, tail = -1;
    growth_walk walk(g, "gd_func");
    for (node_ptr p = args; node_valid(g, p) && walk.takes(p);) {
        node_ptr entry, next;
        const gd_node_type k = kind_of(g, p);
        if (k == gPARM_DECL) {
            // Read first: the formal's record overlaps the declaration's.
            t_parm_decl pd = record_of<t_parm_decl>(g, p);
            const str_ptr name = name_string(g, &pd);
            record_of<gd_graph_common>(g, p).type = dC_FORMAL_OBJECT;
            t_dc_formal_object &fo = record_of<t_dc_formal_object>(g, p);
            fo.other_node = pd.chan;
            fo.file = pd.srcf;
            fo.line = pd.srcl;
            fo.name = name;
            fo.visb = visb_unk;
            fo.arcFriend = fo.array_dim = -1;
            fo.static_flag = fo.extern_flag = 0;
            fo.bitfield_dim = fo.initial_val = fo.link = -1;
            const node_ptr inst = new_arc(g, dC_INSTANCE, p, pd.argt);
            record_of<t_dc_formal_object>(g, p).instance = inst;
            const node_ptr def_loc = new_arc(g, dC_ARC_DEF_LOC, p, pd.scpe);
            record_of<t_dc_formal_object>(g, p).defLoc = def_loc;
            entry = p;
            next = pd.chan;
        } else if (k == dC_FORMAL_OBJECT) {
            entry = copy_node(g, p);
            const t_dc_formal_object shared = record_of<t_dc_formal_object>(g, p);
            const node_ptr inst = copy_arc_for(g, shared.instance, dC_INSTANCE, entry);
            const node_ptr def_loc = copy_arc_for(g, shared.defLoc, dC_ARC_DEF_LOC, entry);
            t_dc_formal_object &copy = record_of<t_dc_formal_object>(g, entry);
            copy.instance = inst;
            copy.defLoc = def_loc;
            next = shared.other_node;
        } else {
            break;
        }
        append_to_arc_list(g, head, tail, new_arc(g, dC_ARC_SON, f, entry));
        p = next;
    }
    return head;
}

// Formals of a function declared without parameter declarations: copies of
// the formals of its function type, placed at the function's declaration.
node_ptr add_prototype_formals(gd_graph *g, node_ptr f, const declared_function &d, node_ptr formals)
{
    node_ptr head = -1, tail = -1;
    growth_walk walk(g, "gd_func");
    for (node_ptr arc = formals; kind_of(g, arc) == dC_ARC_SON && walk.takes(arc);
         arc = record_of<t_dc_arc>(g, arc).next) {
        const node_ptr proto = record_of<t_dc_arc>(g, arc).dest;
        if (kind_of(g, proto) != dC_FORMAL_OBJECT) break;
        // A link to a record that was free when the walk began may lead to
        // this arc, whose `next` the next arc takes: the walk has met every
        // arc it makes.
        const node_ptr a = new_arc(g, dC_ARC_SON, f, -1);
        walk.made(a);
        const node_ptr y = copy_node(g, proto);
        t_dc_formal_object &fo = record_of<t_dc_formal_object>(g, y);
        fo.other_node = -1;
        fo.file = d.file;
        fo.line = d.line;
        fo.array_dim = -1;
        // The copy has no declaring scope of its own.
        fo.defLoc = -1;
        const node_ptr proto_instance = fo.instance;
        const node_ptr inst = copy_arc_for(g, proto_instance, dC_INSTANCE, y);
        if (inst != -1) {
            record_of<t_dc_formal_object>(g, y).instance = inst;
            const t_dc_arc &inst_arc = record_of<t_dc_arc>(g, inst);
            // One call for the three lines: a large unit copies formals by
            // the hundred thousand.
            fprintf(stderr,
                    "gd_func: new param %d gets new instance %d\n"
                    "gd_func: new instance %d has src %d\n"
                    "gd_func: new instance %d has type %d\n",
                    y, inst, inst, inst_arc.src, inst, (int)inst_arc.type);
        }
        record_of<t_dc_arc>(g, a).dest = y;
        append_to_arc_list(g, head, tail, a);
    }
    return head;
}

void do_function_decl(gd_graph *g, scope_tail &global, node_ptr f)
{
    const declared_function d = read_declared_function(g, f);
    node_ptr ret, type_formals;
    function_type_parts(g, d.type, ret, type_formals);
    const t_integer_cst *vindex = record<t_integer_cst>(g, d.vindex);
    const int voffset = vindex ? vindex->low : -1;

    {
        record_of<gd_graph_common>(g, f).type = dC_FUNCTION;
        t_dc_function &fn = record_of<t_dc_function>(g, f);
        fn.line = d.line;
        fn.file = d.file;
        fn.visb = d.visb;
        fn.name = d.name;
        fn.defLoc = fn.arcFriend = fn.array_dim = -1;
        fn.static_flag = d.member ? d.static_member : !d.public_flag;
        fn.extern_flag = d.public_flag;
        fn.const_flag = 0;
        fn.virtual_code = d.virt ? (d.pvirt ? vc_pure_virtual : vc_virtual) : vc_non_virtual;
        fn.exception = -1;
        fn.voffset = voffset;
    }

    // The new nodes are numbered in this order: symbol, exception
    // list node, initialiser block, body arc, return type, formals.
    const node_ptr link = add_link_symbol(g, global, f, d.mngl, d.undef);
    record_of<t_dc_function>(g, f).link = link;

    node_ptr b = d.body;
    if (const t_eh_spec_block *eh_block = record<t_eh_spec_block>(g, b)) {
        const node_ptr raises = eh_block->raises;
        const node_ptr inner = eh_block->body;
        const node_ptr exception = add_throw_spec(g, f, raises);
        record_of<t_dc_function>(g, f).exception = exception;
        b = inner;
    }
    const node_ptr block = add_body(g, f, d, b);
    record_of<t_dc_function>(g, f).block = block;

    const node_ptr instance = copy_arc_for(g, ret, dC_INSTANCE, f);
    record_of<t_dc_function>(g, f).instance = instance;

    const node_ptr formal_fct = node_valid(g, d.args) ? add_declared_formals(g, f, d.args)
                                                      : add_prototype_formals(g, f, d, type_formals);
    record_of<t_dc_function>(g, f).formal_fct = formal_fct;
}

}  // namespace

int gd_func_filter(gd_graph *g)
{
    scope_tail global = scope_tail_of(g->firstNode);
    for (node_ptr f = 0; node_valid(g, f); f++)
        if (kind_of(g, f) == gFUNCTION_DECL) do_function_decl(g, global, f);
    return 1;
}
