// Units whose chains loop, as a damaged or hostile front-end file may hold
// them: many owners (functions, objects, templates, loops) that each lead
// into the same chain, whose last cell leads back into it. A walk that does
// not end at the first node it meets again makes nodes for every owner over
// and over, and the growth compounds from owner to owner; each unit here is
// a few KB and must give an output of about its own size.
#pragma once

#include <string>
#include <vector>

namespace looping_chains {

// How many owners share each chain.
constexpr int owner_count = 24;

// `count` owners from node `first` on, each line made by `line` from the
// owner's number (0 up) and linked to the next one through `link` (nullptr:
// not linked).
template <class Line> std::string owners(int first, int count, const char *link, Line line)
{
    std::string text;
    for (int i = 0; i < count; i++) {
        text += std::to_string(first + i) + " " + line(i);
        if (link && i + 1 < count) text += std::string(" ") + link + "=" + std::to_string(first + i + 1);
        text += "\n";
    }
    return text;
}

inline std::string same_line(const char *line, int)
{
    return line;
}

// The front end's global namespace, whose members begin at node 20, and the
// names and the type int that the units share.
inline std::string unit_head()
{
    return R"(root 0
0 namespace_decl name=1 srcf="<internal>" srcl=0 lang=src_lang_cp dcls=20
1 identifier_node strg="::" lngt=2
2 identifier_node strg="f" lngt=1
3 identifier_node strg="x" lngt=1
4 type_decl name=5 type=6 scpe=0 srcf="<internal>" srcl=0 lang=src_lang_cp artificial=1
5 identifier_node strg="int" lngt=3
6 integer_type name=4 algn=32 unql=6 prec=32
7 integer_cst type=6 low=1
)";
}

struct looping_unit {
    const char *what;
    // The single-filter program that makes nodes along the chain, "" when
    // only talvexf runs that filter.
    const char *family;
    std::string text;
};

inline std::vector<looping_unit> looping_units()
{
    auto each = [](const char *line) { return [line](int i) { return same_line(line, i); }; };
    return {
        {"functions that share a parameter chain that loops", "gd_func",
         unit_head() + R"(10 parm_decl name=3 type=6 argt=6 srcf="a.cc" srcl=1 lang=src_lang_cp chan=11
11 parm_decl name=3 type=6 argt=6 srcf="a.cc" srcl=1 lang=src_lang_cp chan=10
)" +
             owners(20, owner_count, "chan",
                    each(R"(function_decl name=2 srcf="a.cc" srcl=1 lang=src_lang_cp args=10)"))},
        {"functions that share a list of exception types that loops", "gd_func",
         unit_head() + R"(10 eh_spec_block raises=11
11 tree_list value=6 chan=12
12 tree_list value=6 chan=11
)" +
             owners(20, owner_count, "chan",
                    each(R"(function_decl name=2 srcf="a.cc" srcl=1 lang=src_lang_cp body=10)"))},
        {"constructors that share member initialisers that loop", "gd_func",
         unit_head() + R"(10 ctor_stmt line=1 next=11
11 expr_stmt line=1 texpr=7 next=12
12 expr_stmt line=1 texpr=7 next=11
)" +
             owners(20, owner_count, "chan",
                    each(R"(function_decl name=2 srcf="a.cc" srcl=1 lang=src_lang_cp body=10)"))},
        {"objects whose initializers share an element cell that leads to itself", "gd_initializers",
         unit_head() + "10 tree_list value=7 chan=10\n" +
             owners(20, owner_count, "chan",
                    [](int i) {
                        return R"(var_decl name=3 type=6 srcf="a.cc" srcl=1 lang=src_lang_cp init=)" +
                               std::to_string(50 + i);
                    }) +
             owners(50, owner_count, nullptr, each("constructor elts=10"))},
        {"templates that share a parameter cell that leads to itself", "gd_templates",
         unit_head() + R"(10 tree_list value=11
11 tree_vec length=1 elts=[12]
12 tree_list value=13 chan=12
13 template_type_parm algn=8 unql=13
)" +
             owners(20, owner_count, "chan",
                    each(R"(template_decl name=2 srcf="a.cc" srcl=1 lang=src_lang_cp parms=10)"))},
        {"for loops that share initialiser statements that loop", "",
         unit_head() + R"(10 compound_stmt line=1 body=11
11 scope_stmt line=1 begin_end next=50
12 expr_stmt line=2 texpr=7 next=13
13 expr_stmt line=2 texpr=7 next=12
20 function_decl name=2 srcf="a.cc" srcl=1 lang=src_lang_cp body=10
)" + owners(50, owner_count, "next", each("for_stmt line=2 init=12"))},
    };
}

// Functions declared without parameter declarations whose prototype's
// formals loop, as gd_func_filter finds them after funct_type_filter.
inline std::string looping_prototype()
{
    return R"(root 0
0 cScopeGlb
1 cBuiltInType name="int"
2 cFctType instance=3 formalParams=5
3 cInstance src=2 dest=1
4 identifier_node strg="f"
5 cArcSon src=2 dest=6 next=7
6 cFormalObject instance=8
7 cArcSon src=2 dest=6 next=5
8 cInstance src=6 dest=1
)" + owners(20, owner_count, "chan", [](int) { return std::string("function_decl name=4 type=2"); });
}

}  // namespace looping_chains
