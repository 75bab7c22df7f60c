#include "views/status_column_edits.h"

#include <algorithm>
#include <utility>

namespace corvex {

void toggleStatusRows(StatusColumns& columns, const std::vector<size_t>& rows) {
    bool anyHidden = false;
    for (size_t row : rows) {
        anyHidden |= row < kStatusColumnRows && !columns[row + 1].shown;
    }
    for (size_t row : rows) {
        if (row < kStatusColumnRows) {
            columns[row + 1].shown = anyHidden;
        }
    }
}

void showAllStatusRows(StatusColumns& columns, bool shown) {
    std::for_each(columns.begin() + 1, columns.end(),
                  [shown](StatusColumn& column) { column.shown = shown; });
}

size_t moveStatusRow(StatusColumns& columns, size_t row, int step) {
    if (row >= kStatusColumnRows || (step < 0 && row == 0) ||
        (step > 0 && row + 1 >= kStatusColumnRows) || step == 0) {
        return row;
    }
    const size_t target = step < 0 ? row - 1 : row + 1;
    std::swap(columns[row + 1], columns[target + 1]);
    return target;
}

} // namespace corvex
