#include "substring_finder.h"

#include "byte_search.h"

namespace quillet {

SubstringFinder::SubstringFinder(std::string_view needle)
    : needle_(needle), border_(needle.size() + 1, 0) {
    std::size_t k = 0;
    for (std::size_t i = 1; i < needle_.size(); ++i) {
        while (k > 0 && needle_[i] != needle_[k]) {
            k = border_[k];
        }
        if (needle_[i] == needle_[k]) {
            ++k;
        }
        border_[i + 1] = k;
    }
}

bool SubstringFinder::found_in(std::string_view text) const {
    const auto m = needle_.size();
    if (m == 0) {
        return true;
    }
    if (text.size() < m) {
        return false;
    }
    std::size_t matched = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (matched == 0) {
            // Nothing matched yet: jump to the next place the needle can start.
            const auto hit = find_byte(text, needle_[0], i);
            if (hit == std::string_view::npos) {
                return false;
            }
            i = hit + 1;
            matched = 1;
        } else if (text[i] == needle_[matched]) {
            ++matched;
            ++i;
        } else {
            matched = border_[matched];
            if (matched == 0 && text[i] != needle_[0]) {
                ++i;
            }
            continue;
        }
        if (matched == m) {
            return true;
        }
    }
    return false;
}

}  // namespace quillet
