#include "line_shape.h"

#include <cstring>

#if defined(__SSE2__) && !defined(QUILLET_NO_SIMD)
#include <emmintrin.h>
#define QUILLET_SHAPE_SSE2 1
#endif

namespace quillet {

#if defined(QUILLET_SHAPE_SSE2)

namespace {

constexpr std::size_t kBlock = 16;

// What the blocks of a line looked at so far hold, a byte lane each.
struct Lanes {
    __m128i pairs = _mm_setzero_si128();  // a blank followed by a blank
    __m128i tabs = _mm_setzero_si128();   // TABs counted, up to 255 a lane
    __m128i returns = _mm_setzero_si128();
    __m128i markup = _mm_setzero_si128();
    __m128i tildes = _mm_setzero_si128();

    // Looks at the 16 bytes at block; the byte after them must be readable.
    void look(const char* block) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 1));
        const auto equal = [](__m128i v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
        pairs = _mm_or_si128(pairs, _mm_and_si128(equal(bytes, ' '), equal(next, ' ')));
        tabs = _mm_adds_epu8(tabs, _mm_and_si128(equal(bytes, '\t'), _mm_set1_epi8(1)));
        returns = _mm_or_si128(returns, equal(bytes, '\r'));
        markup = _mm_or_si128(markup, _mm_or_si128(equal(bytes, '<'), equal(bytes, '>')));
        tildes = _mm_or_si128(tildes, equal(bytes, '~'));
    }

    LineShape shape() const {
        const auto any = [](__m128i v) { return _mm_movemask_epi8(v) != 0; };
        const __m128i zero = _mm_setzero_si128();
        // Lanes that saw a TAB, and lanes that saw more than one.
        const int one = ~_mm_movemask_epi8(_mm_cmpeq_epi8(tabs, zero)) & 0xFFFF;
        const bool two = any(_mm_xor_si128(
            _mm_cmpeq_epi8(_mm_subs_epu8(tabs, _mm_set1_epi8(1)), zero), _mm_set1_epi8(-1)));
        LineShape shape;
        shape.tabs = two || (one & (one - 1)) != 0 ? 2 : (one != 0 ? 1 : 0);
        shape.blank_pair = any(pairs);
        shape.carriage_return = any(returns);
        shape.markup = any(markup);
        shape.tilde = any(tildes);
        return shape;
    }
};

}  // namespace

LineShape shape_of(std::string_view line) {
    Lanes lanes;
    std::size_t pos = 0;
    // Whole blocks with a byte after them; the rest, 1 to 16 bytes, from a
    // copy padded with zero bytes, which match none of the characters looked for.
    for (; pos + kBlock < line.size(); pos += kBlock) {
        lanes.look(line.data() + pos);
    }
    if (pos < line.size()) {
        char rest[kBlock + 1] = {};
        std::memcpy(rest, line.data() + pos, line.size() - pos);
        lanes.look(rest);
    }
    return lanes.shape();
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

#endif

}  // namespace quillet
