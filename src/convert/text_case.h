// Letter case of Windows-1252 bytes: the report files and documents are
// single-byte text, so lower- and upper-casing works on bytes, with the
// accented letters of the code page included.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quillet {

// Constant lookup tables, built at compile time.
namespace case_detail {

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

inline constexpr auto kLower = make_lower_table();
inline constexpr auto kUpper = make_upper_table();

}  // namespace case_detail

inline char lower_1252(char c) {
    return static_cast<char>(case_detail::kLower[static_cast<unsigned char>(c)]);
}

inline char upper_1252(char c) {
    return static_cast<char>(case_detail::kUpper[static_cast<unsigned char>(c)]);
}

// Appends text lower- or upper-cased to dest.
void append_lower_1252(std::string_view text, std::string& dest);
void append_upper_1252(std::string_view text, std::string& dest);

std::string lower_1252(std::string_view text);
std::string upper_1252(std::string_view text);

// True when both texts are equal after lower-casing.
bool equal_ignoring_case(std::string_view a, std::string_view b);

}  // namespace quillet
