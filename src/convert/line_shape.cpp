#include "line_shape.h"

#include <bit>
#include <cstring>

#include "byte_search.h"

#if defined(__SSE2__) && !defined(QUILLET_NO_SIMD)
#include <emmintrin.h>
#define QUILLET_SHAPE_SSE2 1
#endif

namespace quillet {

#if defined(QUILLET_SHAPE_SSE2)

namespace {

constexpr std::size_t kBlock = 16;

// What the blocks of a line looked at so far hold, a byte lane each. TAB
// (0x09) and CR (0x0D) differ in one bit, as do "<" (0x3C) and ">" (0x3E):
// each pair is one comparison. Few lines hold a TAB or a CR; those are
// looked at once more for them.
struct Lanes {
    __m128i pairs = _mm_setzero_si128();  // a blank followed by a blank
    __m128i tabs_or_returns = _mm_setzero_si128();
    __m128i markup = _mm_setzero_si128();
    __m128i tildes = _mm_setzero_si128();

    // Looks at 16 bytes; next holds the bytes one further on.
    void look(__m128i bytes, __m128i next) {
        const auto equal = [](__m128i v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
        const auto with_bit = [](__m128i v, char bit) { return _mm_or_si128(v, _mm_set1_epi8(bit)); };
        pairs = _mm_or_si128(pairs, _mm_and_si128(equal(bytes, ' '), equal(next, ' ')));
        tabs_or_returns = _mm_or_si128(tabs_or_returns, equal(with_bit(bytes, 0x04), '\r'));
        markup = _mm_or_si128(markup, equal(with_bit(bytes, 0x02), '>'));
        tildes = _mm_or_si128(tildes, equal(bytes, '~'));
    }

    // The shape of line, the bytes looked at.
    LineShape shape(std::string_view line) const {
        const auto any = [](__m128i v) { return _mm_movemask_epi8(v) != 0; };
        LineShape shape;
        shape.blank_pair = any(pairs);
        shape.markup = any(markup);
        shape.tilde = any(tildes);
        if (any(tabs_or_returns)) {
            const auto tab = find_byte(line, '\t');
            if (tab != std::string_view::npos) {
                shape.tabs = find_byte(line, '\t', tab + 1) != std::string_view::npos ? 2 : 1;
            }
            shape.carriage_return = find_byte(line, '\r') != std::string_view::npos;
        }
        return shape;
    }
};

__m128i load(const char* bytes) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// The 16 bytes at block and the 16 after its first; the byte after the
// block must be readable.
void look_at(const char* block, Lanes& lanes) {
    lanes.look(load(block), load(block + 1));
}

// The first count bytes (at most 16) of text, from a copy padded with zero
// bytes, which match none of the characters looked for.
void look_at_rest(const char* text, std::size_t count, Lanes& lanes) {
    char rest[kBlock + 1] = {};
    std::memcpy(rest, text, count);
    look_at(rest, lanes);
}

// v with the lanes from count on (count at most 16) set to zero bytes.
__m128i first_lanes(__m128i v, int count) {
    const __m128i index = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm_and_si128(v, _mm_cmpgt_epi8(_mm_set1_epi8(static_cast<char>(count)), index));
}

}  // namespace

LineShape shape_of(std::string_view line) {
    Lanes lanes;
    std::size_t pos = 0;
    // Whole blocks with a byte after them, then the rest, 1 to 16 bytes.
    for (; pos + kBlock < line.size(); pos += kBlock) {
        look_at(line.data() + pos, lanes);
    }
    if (pos < line.size()) {
        look_at_rest(line.data() + pos, line.size() - pos, lanes);
    }
    return lanes.shape(line);
}

ShapedLine line_at(std::string_view source, std::size_t pos) {
    const char* data = source.data();
    if (data[pos] == '\n') {
        return {source.substr(pos, 0), pos + 1, {}};
    }
    Lanes lanes;
    // Whole blocks with a byte after them. The LF is looked for among the
    // bytes one further on: a CR before it is then always in the block.
    std::size_t block = pos;
    for (; block + kBlock < source.size(); block += kBlock) {
        const __m128i bytes = load(data + block);
        const __m128i next = load(data + block + 1);
        const int feeds = _mm_movemask_epi8(_mm_cmpeq_epi8(next, _mm_set1_epi8('\n')));
        if (feeds == 0) {
            lanes.look(bytes, next);
            continue;
        }
        const std::size_t feed = block + 1 + std::countr_zero(static_cast<unsigned>(feeds));
        const std::size_t end = data[feed - 1] == '\r' ? feed - 1 : feed;
        const auto count = static_cast<int>(end - block);
        lanes.look(first_lanes(bytes, count), first_lanes(next, count - 1));
        const auto line = source.substr(pos, end - pos);
        return {line, feed + 1, lanes.shape(line)};
    }
    // The rest, 1 to 16 bytes; an LF in it is not its first byte.
    const auto rest = source.substr(block);
    const auto feed = rest.find('\n');
    std::size_t end = source.size();
    std::size_t next = end;
    if (feed != std::string_view::npos) {
        end = block + feed;
        next = end + 1;
        if (data[end - 1] == '\r') {
            --end;
        }
    }
    look_at_rest(data + block, end - block, lanes);
    const auto line = source.substr(pos, end - pos);
    return {line, next, lanes.shape(line)};
}

#else

LineShape shape_of(std::string_view line) {
    LineShape shape;
    char previous = 0;
    for (const char c : line) {
        switch (c) {
            case ' ':
                shape.blank_pair = shape.blank_pair || previous == ' ';
                break;
            case '\t':
                shape.tabs = shape.tabs < 2 ? shape.tabs + 1 : 2;
                break;
            case '\r':
                shape.carriage_return = true;
                break;
            case '<':
            case '>':
                shape.markup = true;
                break;
            case '~':
                shape.tilde = true;
                break;
            default:
                break;
        }
        previous = c;
    }
    return shape;
}

ShapedLine line_at(std::string_view source, std::size_t pos) {
    // A line ends after LF; the LF and one CR before it are not part of it.
    auto end = source.find('\n', pos);
    std::size_t next = 0;
    if (end == std::string_view::npos) {
        end = source.size();
        next = end;
    } else {
        next = end + 1;
        if (end > pos && source[end - 1] == '\r') {
            --end;
        }
    }
    const auto line = source.substr(pos, end - pos);
    return {line, next, shape_of(line)};
}

#endif

}  // namespace quillet
