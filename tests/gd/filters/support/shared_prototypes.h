// Units of C prototypes that share their function types and the types'
// parameter list, the way a compiler shares them:
//
//     int f0(int, int, ..., int), f1(int, int, ..., int), ...;
//
// Every function is declared without parameter declarations, so gd_func
// copies its type's formals for it; every function type lists the same
// parameter cells, so funct_type copies them for every type after the first.
// A healthy unit of N functions and P parameters comes out with N x P formal
// objects, however far that passes any fixed factor of the unit's size.
#pragma once

#include <gd/graph.h>

#include <string>

namespace shared_prototypes {

struct unit {
    int functions;
    int params;
    // Functions 0 .. types-1 have a function type each; the others share the
    // first one's.
    int types = 1;
    // The `chan` of the last parameter cell: -1 ends the list; the first
    // cell's index makes the list loop, an index past the records damages the
    // unit.
    node_ptr after_last_param = -1;
};

// Node numbers: the global namespace, "::", "int", the int type, its
// declaration and size, then each function and its name, the types and the
// cells; no record is free.
constexpr node_ptr first_function = 6;
inline node_ptr first_type(const unit &u)
{
    return first_function + 2 * u.functions;
}
inline node_ptr first_cell(const unit &u)
{
    return first_type(u) + u.types;
}
inline uint32_t records(const unit &u)
{
    return (uint32_t)(first_cell(u) + u.params);
}
constexpr node_ptr int_type = 3;

// The global namespace, whose declarations begin with the first function, and
// the type int that every parameter has.
constexpr const char *unit_head = R"(root 0
0 namespace_decl name=1 srcf="<internal>" srcl=0 lang=src_lang_c dcls=6
1 identifier_node strg="::" lngt=2
2 identifier_node strg="int" lngt=3
3 integer_type name=4 size=5 algn=32 unql=3 prec=32
4 type_decl name=2 type=3 scpe=0 srcf="<internal>" srcl=0 lang=src_lang_c artificial=1
5 integer_cst low=32
)";

inline std::string text(const unit &u)
{
    std::string text = unit_head;
    for (int f = 0; f < u.functions; f++) {
        const node_ptr n = first_function + 2 * f;
        const std::string name = "f" + std::to_string(f);
        text += std::to_string(n) + " function_decl public_flag name=" + std::to_string(n + 1) +
                " mngl=" + std::to_string(n + 1) +
                " type=" + std::to_string(first_type(u) + (f < u.types ? f : 0)) +
                " scpe=0 srcf=\"u.c\" srcl=" + std::to_string(f + 1) + " lang=src_lang_c undef" +
                (f + 1 < u.functions ? " chan=" + std::to_string(n + 2) : "") + "\n";
        text += std::to_string(n + 1) + " identifier_node strg=\"" + name +
                "\" lngt=" + std::to_string(name.size()) + "\n";
    }
    for (int t = 0; t < u.types; t++)
        text += std::to_string(first_type(u) + t) +
                " function_type algn=8 unql=" + std::to_string(first_type(u) + t) + " retn=3" +
                (u.params > 0 ? " prms=" + std::to_string(first_cell(u)) : "") + "\n";
    for (int c = 0; c < u.params; c++) {
        const node_ptr chan = c + 1 < u.params ? first_cell(u) + c + 1 : u.after_last_param;
        text += std::to_string(first_cell(u) + c) + " tree_list value=3" +
                (chan != -1 ? " chan=" + std::to_string(chan) : "") + "\n";
    }
    return text;
}

// For comparison, functions declared with parameter declarations of their
// own, `params` each, as a definition has them: gd_func converts each in
// place and gives it a type arc, a scope arc and a list arc, so the graph
// grows with the unit and no more.
inline std::string declared_parameters_text(int functions, int params)
{
    std::string text = unit_head;
    const int span = 2 + params;
    for (int f = 0; f < functions; f++) {
        const node_ptr n = first_function + f * span;
        const std::string name = "f" + std::to_string(f);
        text += std::to_string(n) + " function_decl public_flag name=" + std::to_string(n + 1) +
                " scpe=0 srcf=\"u.c\" srcl=" + std::to_string(f + 1) + " lang=src_lang_c" +
                (params > 0 ? " args=" + std::to_string(n + 2) : "") +
                (f + 1 < functions ? " chan=" + std::to_string(n + span) : "") + "\n";
        text += std::to_string(n + 1) + " identifier_node strg=\"" + name +
                "\" lngt=" + std::to_string(name.size()) + "\n";
        for (int k = 0; k < params; k++)
            text += std::to_string(n + 2 + k) + " parm_decl name=" + std::to_string(n + 1) +
                    " type=3 argt=3 scpe=" + std::to_string(n) +
                    " srcf=\"u.c\" srcl=" + std::to_string(f + 1) + " lang=src_lang_c" +
                    (k + 1 < params ? " chan=" + std::to_string(n + 3 + k) : "") + "\n";
    }
    return text;
}

}  // namespace shared_prototypes
