#include "text_case.h"

namespace quillet {

void append_lower_1252(std::string_view text, std::string& dest) {
    const auto start = dest.size();
    dest.append(text);
    for (auto i = start; i < dest.size(); ++i) {
        dest[i] = lower_1252(dest[i]);
    }
}

void append_upper_1252(std::string_view text, std::string& dest) {
    const auto start = dest.size();
    dest.append(text);
    for (auto i = start; i < dest.size(); ++i) {
        dest[i] = upper_1252(dest[i]);
    }
}

std::string lower_1252(std::string_view text) {
    std::string result;
    append_lower_1252(text, result);
    return result;
}

std::string upper_1252(std::string_view text) {
    std::string result;
    append_upper_1252(text, result);
    return result;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && lower_1252(a[i]) != lower_1252(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace quillet
