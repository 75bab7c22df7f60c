// The edits of the "ConfigStatus" dialog on a column configuration, without the dialog.
// Rows are the configurable items in display order: row r is column r + 1 ("Chan", column
// 0, always comes first and stays shown).
//
// Pure functions, callable from any thread.
#pragma once

#include "status_columns.h"

#include <cstddef>
#include <vector>

namespace corvex {

inline constexpr size_t kStatusColumnRows = kStatusItemCount - 1;

// Space on the selected rows: all of them shown when any was hidden, otherwise all hidden.
void toggleStatusRows(StatusColumns& columns, const std::vector<size_t>& rows);
// "All" and "None".
void showAllStatusRows(StatusColumns& columns, bool shown);
// "Move Up" (-1) and "Move Down" (+1) of one row; the row it lands on, or `row` when it
// cannot move.
size_t moveStatusRow(StatusColumns& columns, size_t row, int step);

} // namespace corvex
