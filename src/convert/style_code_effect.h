// What one in-line style code does to the style state, read from its text.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quillet {

// The letters and settings a code's text holds.
struct StyleCode {
    bool font_code = false;  // "~b" or "~B" first: the font, size and alignment follow
    std::string_view font_tag;
    bool preformatted = false;
    std::string_view paragraph_tag;  // empty: the alignment stays
    // The first b, i and u of the code in either letter case, 0 for none.
    char bold = 0;
    char italic = 0;
    char underline = 0;
};

StyleCode read_style_code(std::string_view code);

// The bits of the open spans: bold, italic, underline.
inline constexpr unsigned kBoldSpan = 1;
inline constexpr unsigned kItalicSpan = 2;
inline constexpr unsigned kUnderlineSpan = 4;

// A code with the tags it writes worked out for each set of open spans, so
// that applying it again takes no decisions.
struct StyleCodeEffect {
    StyleCode code;
    std::array<std::uint8_t, 8> spans_after{};  // by the spans open before
    std::array<std::array<char, 16>, 8> tags{};
    std::array<std::uint8_t, 8> tag_sizes{};
};

StyleCodeEffect style_code_effect(std::string_view code);

// Opens or closes the spans by the code's letters; the tags go to write.
template <typename Write>
unsigned toggle_spans(const StyleCode& code, unsigned spans, Write&& write) {
    // A capital opens a span when it is closed, a small letter closes it when it is open.
    const auto toggle = [&](char letter, char capital, unsigned span, std::string_view open_tag,
                            std::string_view close_tag) {
        if (letter == capital && (spans & span) == 0) {
            spans |= span;
            write(open_tag);
        } else if (letter == capital + ('a' - 'A') && (spans & span) != 0) {
            spans &= ~span;
            write(close_tag);
        }
    };
    toggle(code.bold, 'B', kBoldSpan, "<B>", "</B>");
    toggle(code.italic, 'I', kItalicSpan, "<I>", "</I>");
    toggle(code.underline, 'U', kUnderlineSpan, "<U>", "</U>");
    return spans;
}

}  // namespace quillet
