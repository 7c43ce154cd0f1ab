// table_check.h: the table's own consistency rules, checked after every
// message by the fuzz target and usable from any test: counts within their
// slots, indexes within their arrays, wall positions on the wall.
#pragma once
#include <string>
#include <vector>

#include "table/table_state.h"

namespace mj::table {

// Every broken rule as one line naming the field and its value; empty when
// the table is consistent.
[[nodiscard]] std::vector<std::string> tableProblems(const TableState& t);

}  // namespace mj::table
