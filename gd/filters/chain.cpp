// The chain of `talvexf`, one row per step.

#include <gd/filters/chain.h>

namespace {

// gd_filter, the garbage collector, runs three times: after the early
// conversions, after the statement and type bypasses, and last of all. Step 22
// (gd_for) runs only here; gd_regular is never a step.
constexpr filter_step chain_steps[] = {
    FILTER_STEP(gd_reduce),                 //  1
    FILTER_STEP(gd_global),                 //  2
    FILTER_STEP(gd_inclass_typedefs),       //  3
    FILTER_STEP(gd_builtin),                //  4
    FILTER_STEP(namespace),                 //  5
    FILTER_STEP(aggregate),                 //  6
    FILTER_STEP(gd_operators),              //  7
    FILTER_STEP(gd_filter),                 //  8
    FILTER_STEP(gd_alias),                  //  9
    FILTER_STEP(funct_type),                // 10
    FILTER_STEP(gd_derived),                // 11
    FILTER_STEP(gd_enum),                   // 12
    FILTER_STEP(gd_objects),                // 13
    FILTER_STEP(gd_func),                   // 14
    FILTER_STEP(gd_templates),              // 15
    FILTER_STEP(gd_literals),               // 16
    FILTER_STEP(gd_actuals),                // 17
    FILTER_STEP(gd_break),                  // 18
    FILTER_STEP(gd_goto),                   // 19
    FILTER_STEP(gd_return),                 // 20
    FILTER_STEP(gd_labels),                 // 21
    FILTER_STEP(gd_for),                    // 22
    FILTER_STEP(gd_while),                  // 23
    FILTER_STEP(gd_exceptions),             // 24
    FILTER_STEP(gd_if),                     // 25
    FILTER_STEP(gd_switch),                 // 26
    FILTER_STEP(gd_initializers),           // 27
    FILTER_STEP(gd_block),                  // 28
    FILTER_STEP(gd_statements),             // 29
    FILTER_STEP(gd_classref),               // 30
    FILTER_STEP(classes),                   // 31
    FILTER_STEP(gd_virtual),                // 32
    FILTER_STEP(gd_typedecls),              // 33
    FILTER_STEP(gd_filter),                 // 34
    FILTER_STEP(gd_globalize_funct_types),  // 35
    FILTER_STEP(merge_builtin),             // 36
    FILTER_STEP(zap_builtin),               // 37
    FILTER_STEP(zap_other),                 // 38
    FILTER_STEP(gd_nameref),                // 39
    FILTER_STEP(ordinals),                  // 40
    FILTER_STEP(gd_filter),                 // 41
};

static_assert(std::size(chain_steps) == talvex_chain_length);

}  // namespace

std::span<const filter_step, talvex_chain_length> talvex_chain()
{
    return chain_steps;
}
