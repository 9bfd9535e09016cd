// The checked chain walks and arc helpers that the filters share.

#include "arcs_and_chains.h"

#include "support/graph_fixture.h"

namespace {

TEST(NextDeclaration, IsTheChainLinkOfDeclarationsOnly)
{
    text_graph t(R"(0 var_decl chan=1
1 namespace_decl chan=2
2 tree_list chan=0
)");
    EXPECT_EQ(next_declaration(&t.g, 0), 1);
    EXPECT_EQ(next_declaration(&t.g, 1), 2);
    EXPECT_EQ(next_declaration(&t.g, 2), -1);
    EXPECT_EQ(next_declaration(&t.g, 3), -1);
}

struct last_arc_case {
    const char *what;
    const char *graph;
    node_ptr first;
    node_ptr last;
};

const last_arc_case last_arc_cases[] = {
    {"arcs of any kind, to -1", "0 cArcSon next=1\n1 cArcDefLoc next=2\n2 cArcSon\n", 0, 2},
    {"a node that is no arc ends the chain", "0 cArcSon next=1\n1 cArcSon next=2\n2 tree_list\n", 0, 1},
    {"an index out of range ends the chain", "0 cArcSon next=1\n1 cArcSon next=7\n", 0, 1},
    {"a loop ends at the arc that leads back", "0 cArcSon next=1\n1 cArcSon next=2\n2 cArcSon next=1\n", 0,
     2},
    {"a chain of one arc that leads to itself", "0 cArcSon next=0\n", 0, 0},
    {"an empty chain", "0 cArcSon\n", -1, -1},
    {"a chain that begins with no arc", "0 tree_list\n", 0, -1},
};

TEST(LastArc, FollowsNextToTheEndOfTheChain)
{
    for (const last_arc_case &c : last_arc_cases) {
        text_graph t(c.graph);
        EXPECT_EQ(last_arc(&t.g, c.first), c.last) << c.what;
    }
}

TEST(AppendToContents, StartsAnEmptyChainAndLinksAfterTheLast)
{
    text_graph t("0 cScopeGlb\n1 cArcSon src=0 dest=0\n2 cArcSon src=0 dest=0\n");
    node_ptr last = -1;
    append_to_contents(&t.g, 0, last, 1);
    append_to_contents(&t.g, 0, last, 2);
    EXPECT_EQ(last, 2);
    EXPECT_EQ(t.dump(), "0 cScopeGlb contents=1\n1 cArcSon src=0 dest=0 next=2\n2 cArcSon src=0 dest=0\n");
}

struct chain_damage_case {
    const char *what;
    const char *graph;
    gd_chain_damage damage;
    node_ptr at;
    node_ptr to;
};

const chain_damage_case chain_damage_cases[] = {
    {"links to live records only", "0 tree_list chan=1 value=2\n1 tree_list\n2 integer_type\n",
     gd_chain_damage::none, -1, -1},
    {"a link to a free record", "0 tree_list\n1 tree_list value=2\n3 tree_list\n",
     gd_chain_damage::link_to_free_record, 1, 2},
    {"a link past the last record", "0 tree_list\n1 tree_list chan=2\n2 tree_list value=9\n",
     gd_chain_damage::link_past_the_records, 2, 9},
    {"the first of two", "0 tree_list chan=7\n1 tree_list chan=8\n", gd_chain_damage::link_past_the_records,
     0, 7},
    {"a negative link is no index", "0 tree_list chan=-5\n", gd_chain_damage::none, -1, -1},
    {"a compiler node's other_node is the front end's own", "0 tree_list other_node=7\n",
     gd_chain_damage::none, -1, -1},
    {"a Ririra node's other_node is a link", "0 cFormalObject other_node=7\n",
     gd_chain_damage::link_past_the_records, 0, 7},
    {"a vector's slots past its length hold no link", "0 tree_vec length=1 elts=[1 9]\n1 tree_list\n",
     gd_chain_damage::none, -1, -1},
    {"a vector's slots in use are links", "0 tree_vec length=2 elts=[1 9]\n1 tree_list\n",
     gd_chain_damage::link_past_the_records, 0, 9},
    {"a free record's own link is no link", "0 tree_list\n1 node_deleted other_node=9\n2 tree_list\n",
     gd_chain_damage::none, -1, -1},
};

// The chain looks once, when it begins, for a link that a walk could follow
// into the records that newNode hands out later.
TEST(BeginChain, FindsTheFirstLinkToARecordThatIsNotLive)
{
    for (const chain_damage_case &c : chain_damage_cases) {
        text_graph t(c.graph);
        begin_chain(&t.g);
        EXPECT_TRUE(t.g.chain.begun) << c.what;
        EXPECT_EQ(t.g.chain.startRecords, t.g.curNodePos) << c.what;
        EXPECT_EQ(t.g.chain.damage, c.damage) << c.what;
        EXPECT_EQ(t.g.chain.damageAt, c.at) << c.what;
        EXPECT_EQ(t.g.chain.damageTo, c.to) << c.what;
    }
}

TEST(BeginChain, KeepsTheStateOfAChainBegunBefore)
{
    text_graph t("0 tree_list\n1 tree_list\n");
    begin_chain(&t.g);
    newNode(&t.g);
    t.g.chain.damagedGrowth = 5;
    begin_chain(&t.g);
    EXPECT_EQ(t.g.chain.startRecords, 2u);
    EXPECT_EQ(t.g.chain.damagedGrowth, 5u);
}

// A walk on a healthy unit takes each node of its chain once, and however
// many nodes it makes, none are counted.
TEST(GrowthWalk, OnAHealthyUnitTakesEachNodeOnceAndCountsNothing)
{
    text_graph t("0 tree_list chan=1\n1 tree_list chan=2\n2 tree_list\n");
    std::vector<node_ptr> taken;
    {
        growth_walk walk(&t.g, "gd_test");
        for (node_ptr c = 0; c != -1 && walk.takes(c); c = record_of<t_tree_list>(&t.g, c).chan) {
            taken.push_back(c);
            for (int i = 0; i < 3000; i++) newNode(&t.g);
        }
    }
    EXPECT_EQ(taken, (std::vector<node_ptr>{0, 1, 2}));
    EXPECT_EQ(t.g.chain.damage, gd_chain_damage::none);
    EXPECT_EQ(t.g.chain.damagedGrowth, 0u);
}

struct walk_damage_case {
    const char *what;
    std::vector<node_ptr> steps;  // the nodes the walk is asked to take
    std::vector<node_ptr> made;   // the nodes it says it made, before the steps
    std::vector<bool> taken;
    gd_chain_damage damage;
    node_ptr at;
    node_ptr to;
};

// The unit holds three records; a walk that passes a fourth node must have
// entered the nodes the filters made.
const walk_damage_case walk_damage_cases[] = {
    {"a node met again", {0, 1, 0}, {}, {true, true, false}, gd_chain_damage::chain_meets_node_again, 0, 0},
    {"a node the walk made", {1, 5}, {5}, {true, false}, gd_chain_damage::chain_meets_node_again, 1, 5},
    {"more nodes than the unit holds",
     {2, 3, 4, 5},
     {},
     {true, true, true, true},
     gd_chain_damage::chain_longer_than_unit,
     2,
     -1},
    {"as many nodes as the unit holds", {2, 1, 0}, {}, {true, true, true}, gd_chain_damage::none, -1, -1},
};

TEST(GrowthWalk, FindsTheDamageOfAChainThatLoopsOrLeavesTheUnit)
{
    for (const walk_damage_case &c : walk_damage_cases) {
        text_graph t("0 tree_list\n1 tree_list\n2 tree_list\n");
        growth_walk walk(&t.g, "gd_test");
        for (node_ptr m : c.made) walk.made(m);
        std::vector<bool> taken;
        for (node_ptr n : c.steps) taken.push_back(walk.takes(n));
        EXPECT_EQ(taken, c.taken) << c.what;
        EXPECT_EQ(t.g.chain.damage, c.damage) << c.what;
        EXPECT_EQ(t.g.chain.damageAt, c.at) << c.what;
        EXPECT_EQ(t.g.chain.damageTo, c.to) << c.what;
    }
}

// Once the unit is found damaged, the records its walks make are counted,
// those made by the steps of a walk and after its last step alike, and
// nothing the conversions make between walks.
TEST(GrowthWalk, CountsWhatTheWalksMakeOnceTheUnitIsDamaged)
{
    text_graph t("0 tree_list chan=1\n1 tree_list chan=0\n");
    {
        growth_walk walk(&t.g, "gd_test");
        for (node_ptr c = 0; walk.takes(c); c = record_of<t_tree_list>(&t.g, c).chan) newNode(&t.g);
    }
    // Two made before the damage was found at the third step.
    EXPECT_EQ(t.g.chain.damage, gd_chain_damage::chain_meets_node_again);
    EXPECT_EQ(t.g.chain.damagedGrowth, 0u);
    newNode(&t.g);
    {
        growth_walk walk(&t.g, "gd_test");
        walk.takes(0);
        newNode(&t.g);
        newNode(&t.g);
        walk.takes(1);
        newNode(&t.g);
    }
    EXPECT_EQ(t.g.chain.damagedGrowth, 3u);
}

// Past sixteen records for each record of the unit, and 1024, the walks of a
// damaged unit stop the program, saying where and why.
TEST(GrowthWalk, StopsTheProgramWhenADamagedUnitHasMadeTooMuch)
{
    const char *graph = "0 tree_list chan=5\n1 tree_list\n";
    EXPECT_EXIT(
        {
            text_graph t(graph);
            growth_walk walk(&t.g, "gd_test");
            for (node_ptr n = 0;; n++) {
                walk.takes(n);
                newNode(&t.g);
            }
        },
        testing::ExitedWithCode(1),
        "^talvex: \\(fatal\\) gd_test: the chain walks on a damaged unit have made 1057 nodes, more than "
        "the 1056 allowed for its 2 records \\(node 0 links to record 5, past the last one\\)\n$");
}

}  // namespace
