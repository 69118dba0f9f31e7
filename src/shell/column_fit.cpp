#include "column_fit.h"

#include <algorithm>
#include <numeric>

namespace quillet {

std::vector<int> fit_columns(std::span<const ColumnFit> columns, int available) {
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (const ColumnFit& column : columns) {
        widths.push_back(std::max(column.preferred, column.least));
    }
    if (widths.empty()) {
        return widths;
    }
    const std::size_t last = widths.size() - 1;
    auto excess = [&] { return std::accumulate(widths.begin(), widths.end(), 0) - available; };
    // Narrows column i towards floor by as much as the excess asks.
    auto give_way = [&](std::size_t i, int floor) {
        const int over = excess();
        const int narrowest = std::max(floor, columns[i].least);
        if (over > 0 && widths[i] > narrowest) {
            widths[i] -= std::min(over, widths[i] - narrowest);
        }
    };
    for (std::size_t i = 0; i < last; ++i) {
        if (columns[i].yield == ColumnFit::Yield::elide_first) {
            give_way(i, columns[i].least);
        }
    }
    for (std::size_t i = 0; i < last; ++i) {
        if (columns[i].yield == ColumnFit::Yield::to_text) {
            give_way(i, columns[i].text);
        }
    }
    give_way(last, columns[last].text);
    if (const int over = excess(); over < 0) {
        widths[last] -= over;  // the free width
    }
    return widths;
}

}  // namespace quillet
