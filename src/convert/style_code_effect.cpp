#include "style_code_effect.h"

#include <cstring>

#include "html_pieces.h"
#include "text_case.h"

namespace quillet {

StyleCode read_style_code(std::string_view code) {
    StyleCode result;
    result.font_code = code.size() >= 2 && code[0] == '~' && lower_1252(code[1]) == 'b';
    if (result.font_code) {
        // The size code: characters 6 and 7.
        const auto size = code.size() > 5 ? code.substr(5, 2) : std::string_view{};
        if (size == "12") {
            result.font_tag = html::kFontArial2;
        } else if (size == "18") {
            result.font_tag = html::kFontArial3;
        } else if (size == "25") {
            result.font_tag = html::kFontArial5;
        } else {
            result.font_tag = html::kFontCourier3;  // 10 and every other size
            result.preformatted = true;
        }
    }
    // Only the first b, i and u of the code count, in either letter case. In
    // the font codes the reports use they stand at characters 2, 3 and 4.
    const auto is = [](char c, char small) { return (c | ('a' - 'A')) == small; };
    if (result.font_code && code.size() >= 4 && is(code[2], 'i') && is(code[3], 'u')) {
        result.bold = code[1];
        result.italic = code[2];
        result.underline = code[3];
    }
    for (const char c : result.bold != 0 ? std::string_view{} : code) {
        const char lower = lower_1252(c);
        if (lower == 'b' && result.bold == 0) {
            result.bold = c;
        } else if (lower == 'i' && result.italic == 0) {
            result.italic = c;
        } else if (lower == 'u' && result.underline == 0) {
            result.underline = c;
        }
        if (result.bold != 0 && result.italic != 0 && result.underline != 0) {
            break;
        }
    }
    if (result.font_code && code.size() >= 5) {
        // The alignment letter: character 5, letter case counts.
        if (code[4] == 'L') {
            result.paragraph_tag = result.preformatted ? html::kPre : html::kParagraph;
        } else if (code[4] == 'C') {
            result.paragraph_tag =
                result.preformatted ? html::kPreCentred : html::kParagraphCentred;
        }
    }
    return result;
}

StyleCodeEffect style_code_effect(std::string_view code) {
    StyleCodeEffect effect;
    effect.code = read_style_code(code);
    for (unsigned spans = 0; spans < 8; ++spans) {
        auto& tags = effect.tags[spans];
        auto& size = effect.tag_sizes[spans];
        // At most three tags of four characters.
        effect.spans_after[spans] =
            static_cast<std::uint8_t>(toggle_spans(effect.code, spans, [&](std::string_view tag) {
                std::memcpy(tags.data() + size, tag.data(), tag.size());
                size = static_cast<std::uint8_t>(size + tag.size());
            }));
    }
    return effect;
}

}  // namespace quillet
