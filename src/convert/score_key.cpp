#include "score_key.h"

#include "byte_search.h"

namespace quillet::score_key {

bool holds(std::string_view line, std::string_view text, char rare) {
    const auto offset = text.find(rare);
    if (offset == std::string_view::npos || line.size() < text.size()) {
        return false;
    }
    // Wherever text stands, its first rare character stands offset bytes later.
    const auto last_start = line.size() - text.size();
    auto from = offset;
    while (from < line.size()) {
        const auto at = find_byte(line, rare, from);
        if (at == std::string_view::npos) {
            return false;
        }
        const auto start = at - offset;
        if (start > last_start) {
            return false;
        }
        if (line.compare(start, text.size(), text) == 0) {
            return true;
        }
        from = at + 1;
    }
    return false;
}

}  // namespace quillet::score_key
