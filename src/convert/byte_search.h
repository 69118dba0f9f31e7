// Finding a byte in text, written out here so that the many short searches
// made in a line cost no call each; long searches go 16 bytes at a time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__) && !defined(QUILLET_NO_SIMD)
#include <emmintrin.h>
#define QUILLET_BYTE_SEARCH_SSE2 1
#endif

namespace quillet {

namespace byte_search_detail {

// The position of the first byte of text at or after from that one of
// wanted (one or two bytes) stands for, or npos.
template <std::size_t Count>
[[gnu::always_inline]] inline std::size_t find_first(std::string_view text,
                                                     const char (&wanted)[Count],
                                                     std::size_t from) {
#if defined(QUILLET_BYTE_SEARCH_SSE2)
    constexpr std::size_t kBlock = 16;
    if (text.size() >= kBlock) {
        const __m128i first = _mm_set1_epi8(wanted[0]);
        const __m128i second = _mm_set1_epi8(wanted[Count - 1]);
        const auto equal_at = [&](std::size_t at) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
            if constexpr (Count == 1) {
                return _mm_cmpeq_epi8(bytes, first);
            } else {
                return _mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second));
            }
        };
        const auto hits_at = [&](std::size_t at) {
            return static_cast<unsigned>(_mm_movemask_epi8(equal_at(at)));
        };
        // Four blocks at a time, with one test for all four.
        for (; from + 4 * kBlock <= text.size(); from += 4 * kBlock) {
            const __m128i any = _mm_or_si128(
                _mm_or_si128(equal_at(from), equal_at(from + kBlock)),
                _mm_or_si128(equal_at(from + 2 * kBlock), equal_at(from + 3 * kBlock)));
            if (_mm_movemask_epi8(any) != 0) {
                break;
            }
        }
        for (; from + kBlock <= text.size(); from += kBlock) {
            if (const unsigned hits = hits_at(from); hits != 0) {
                return from + static_cast<std::size_t>(std::countr_zero(hits));
            }
        }
        // The last bytes: the last block of the text, without the bytes before from.
        if (from < text.size()) {
            const std::size_t last = text.size() - kBlock;
            const unsigned hits = hits_at(last) >> (from - last);
            if (hits != 0) {
                return from + static_cast<std::size_t>(std::countr_zero(hits));
            }
        }
        return std::string_view::npos;
    }
#endif
    for (; from < text.size(); ++from) {
        if (text[from] == wanted[0] || text[from] == wanted[Count - 1]) {
            return from;
        }
    }
    return std::string_view::npos;
}

}  // namespace byte_search_detail

// The position of the first c in text at or after from, or npos.
inline std::size_t find_byte(std::string_view text, char c, std::size_t from = 0) {
    const char wanted[] = {c};
    return byte_search_detail::find_first(text, wanted, from);
}

// The position of the first a or b in text at or after from, or npos.
inline std::size_t find_either(std::string_view text, char a, char b, std::size_t from = 0) {
    const char wanted[] = {a, b};
    return byte_search_detail::find_first(text, wanted, from);
}

// find_byte for a byte that is likely among the eight from from on (the
// end of a style code): those are looked at as one word first.
inline std::size_t find_byte_soon(std::string_view text, char c, std::size_t from) {
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    if constexpr (std::endian::native == std::endian::little) {
        if (from + kWord <= text.size()) {
            constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + from, kWord);
            word ^= kOnes * static_cast<unsigned char>(c);  // the bytes that are c become zero
            // The lowest marked byte is the first zero byte (the marks above it may be wrong).
            const std::uint64_t marks = (word - kOnes) & ~word & (kOnes << 7);
            if (marks != 0) {
                return from + static_cast<std::size_t>(std::countr_zero(marks)) / 8;
            }
            return find_byte(text, c, from + kWord);
        }
    }
    return find_byte(text, c, from);
}

// The position of the first two blanks side by side in text at or after
// from, or npos.
inline std::size_t find_blank_pair(std::string_view text, std::size_t from) {
#if defined(QUILLET_BYTE_SEARCH_SSE2)
    constexpr std::size_t kBlock = 16;
    if (text.size() > kBlock) {
        const __m128i blank = _mm_set1_epi8(' ');
        // The pairs that start in the 16 bytes at at; the byte after them is read too.
        const auto pairs_at = [&](std::size_t at) {
            const auto blanks = [&](std::size_t i) {
                return _mm_cmpeq_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i)), blank);
            };
            return static_cast<unsigned>(
                _mm_movemask_epi8(_mm_and_si128(blanks(at), blanks(at + 1))));
        };
        for (; from + kBlock < text.size(); from += kBlock) {
            if (const unsigned hits = pairs_at(from); hits != 0) {
                return from + static_cast<std::size_t>(std::countr_zero(hits));
            }
        }
        // The last pairs: the last block with a byte after it, without the
        // pairs that start before from.
        const std::size_t last = text.size() - kBlock - 1;
        const unsigned hits = pairs_at(last) >> (from - last);
        if (hits != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(hits));
        }
        return std::string_view::npos;
    }
#endif
    for (; from + 1 < text.size(); ++from) {
        if (text[from] == ' ' && text[from + 1] == ' ') {
            return from;
        }
    }
    return std::string_view::npos;
}

}  // namespace quillet
