// The table's consistency rules: a fresh table breaks none, and each kind of
// broken bound is named.
#include "table/table_check.h"

#include <gtest/gtest.h>

#include <functional>

namespace mj::table {
namespace {

TEST(TableCheck, FreshTableIsConsistent) { EXPECT_TRUE(tableProblems(TableState{}).empty()); }

TEST(TableCheck, EachBrokenBoundIsNamed) {
    struct Case {
        const char* field;
        std::function<void(TableState&)> breakIt;
    };
    const Case cases[] = {
        {"view 2 concealedCount", [](TableState& t) { t.custom[2].concealedCount = -1; }},
        {"view 0 last concealed slot", [](TableState& t) { t.custom[0].concealedCount = 15; }},
        {"view 1 slot 17 img", [](TableState& t) { t.custom[1].slots[17].img = 136; }},
        {"view 3 slot 0 state", [](TableState& t) { t.custom[3].slots[0].state = 9; }},
        {"wallTail", [](TableState& t) { t.wallTail = -1; }},
        {"lastDiscardView", [](TableState& t) { t.lastDiscardView = 5; }},
        {"discardImg3Count", [](TableState& t) { t.discardImg3Count = 25; }},
        {"winnerView", [](TableState& t) { t.winnerView = 4; }},
    };
    for (const Case& k : cases) {
        TableState t;
        k.breakIt(t);
        const auto problems = tableProblems(t);
        ASSERT_EQ(problems.size(), 1u) << k.field;
        EXPECT_EQ(problems[0].rfind(k.field, 0), 0u) << problems[0];
    }
    TableState full;
    full.custom[0].firstConcealed = 4;
    full.custom[0].concealedCount = 14;  // slots 4..17: the last one in use
    EXPECT_TRUE(tableProblems(full).empty());
}

}  // namespace
}  // namespace mj::table
