#include "text_case.h"

#include <array>

namespace quillet {
namespace {

constexpr bool is_upper_letter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E ||
           (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

constexpr unsigned char to_lower(unsigned char c) {
    if (c == 0x8A || c == 0x8C || c == 0x8E) {
        return static_cast<unsigned char>(c + 0x10);  // Š Œ Ž
    }
    if (c == 0x9F) {
        return 0xFF;  // Ÿ
    }
    return is_upper_letter(c) ? static_cast<unsigned char>(c + 0x20) : c;
}

constexpr std::array<unsigned char, 256> make_lower_table() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] = to_lower(static_cast<unsigned char>(c));
    }
    return table;
}

constexpr std::array<unsigned char, 256> make_upper_table() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    }
    for (int c = 0; c < 256; ++c) {
        const auto lower = to_lower(static_cast<unsigned char>(c));
        if (lower != c) {
            table[lower] = static_cast<unsigned char>(c);
        }
    }
    return table;
}

constexpr auto kLower = make_lower_table();
constexpr auto kUpper = make_upper_table();

}  // namespace

char lower_1252(char c) {
    return static_cast<char>(kLower[static_cast<unsigned char>(c)]);
}

char upper_1252(char c) {
    return static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
}

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
