// How the report grid's columns share the grid's width: each column has the
// width it is given when there is room, and when there is not, the columns
// give way in turn, so that the last one (the outcome the user waits for)
// stays readable and no column lies beyond the right edge.
#pragma once

#include <span>
#include <vector>

namespace quillet {

struct ColumnFit {
    // How readily the column gives way: the source name and the date first,
    // down to a few letters; then the other columns down to their widest text;
    // the last column last, down to its widest text.
    enum class Yield { elide_first, to_text };
    int preferred = 0;  // pixels, when there is room
    int text = 0;       // the widest text of its cells, with the cell's margins
    int least = 0;      // the narrowest it is ever made
    Yield yield = Yield::to_text;
};

// The widths of columns in available pixels. The last column takes the free
// width and is never narrower than its preferred width while the others can
// give way. When even the narrowest widths do not fit, the columns keep them
// and the grid scrolls.
std::vector<int> fit_columns(std::span<const ColumnFit> columns, int available);

}  // namespace quillet
