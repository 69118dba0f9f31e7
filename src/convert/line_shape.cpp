#include "line_shape.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace quillet {
namespace {

// Eight bytes at a time: each function marks the bytes equal to c with their
// top bit, exactly (no false marks next to a match).
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;

std::uint64_t bytes_equal(std::uint64_t word, unsigned char c) {
    const std::uint64_t diff = word ^ (kOnes * c);
    return ~(((diff & kLow7) + kLow7) | diff | kLow7);
}

// Moves the mark of the last byte of a word (in memory order) to the place
// of the first byte's mark.
std::uint64_t last_to_first(std::uint64_t marks) {
    if constexpr (std::endian::native == std::endian::little) {
        return (marks >> 56) & 0x80;
    } else {
        return (marks & 0x80) << 56;
    }
}

}  // namespace

LineShape shape_of(std::string_view line) {
    LineShape shape;
    std::uint64_t carry = 0;  // the previous word ended with a blank
    std::uint64_t pairs = 0;
    std::uint64_t returns = 0;
    std::uint64_t markup = 0;
    std::size_t tab_marks = 0;  // 1 for a word with a TAB, 2 for one with more
    std::size_t pos = 0;
    const auto look = [&](std::uint64_t word) {
        const auto blanks = bytes_equal(word, ' ');
        pairs |= (blanks & (blanks << 8)) | (blanks & carry);
        carry = last_to_first(blanks);
        const auto tabs = bytes_equal(word, '\t');
        tab_marks += (tabs != 0 ? 1 : 0) + ((tabs & (tabs - 1)) != 0 ? 1 : 0);
        returns |= bytes_equal(word, '\r');
        markup |= bytes_equal(word, '<') | bytes_equal(word, '>');
    };
    for (; pos + 8 <= line.size(); pos += 8) {
        std::uint64_t word;
        std::memcpy(&word, line.data() + pos, 8);
        look(word);
    }
    if (pos < line.size()) {
        std::uint64_t word = 0;  // zero bytes match none of the characters looked for
        std::memcpy(&word, line.data() + pos, line.size() - pos);
        look(word);
    }
    shape.tabs = tab_marks < 2 ? tab_marks : 2;
    shape.blank_pair = pairs != 0;
    shape.carriage_return = returns != 0;
    shape.markup = markup != 0;
    return shape;
}

}  // namespace quillet
