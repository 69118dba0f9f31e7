// In-line style codes between tildes.
#include <cstdint>
#include <cstring>

#include "byte_search.h"
#include "report_document.h"
#include "style_code_effect.h"
#include "text_case.h"

namespace quillet {

inline const StyleCodeEffect& ReportDocument::known_code(std::string_view code) {
    std::uint64_t key = 0;
    std::memcpy(&key, code.data(), sizeof key);
    auto& pair = known_codes_[known_code_pair(key)];
    std::size_t place = 0;
    if (pair.codes[0].key == key) {
        place = 0;
    } else if (pair.codes[1].key == key) {
        place = 1;
    } else {
        place = pair.recent ^ 1;
        pair.codes[place] = {key, style_code_effect(code)};
    }
    pair.recent = place;
    return pair.codes[place].effect;
}

inline void ReportDocument::set_font_and_alignment(const StyleCode& code) {
    if (code.font_code) {
        boolPreformatted = code.preformatted;
        strFontTag = code.font_tag;
    }
    if (!code.paragraph_tag.empty()) {
        strParagraphTag = code.paragraph_tag;
    }
}

inline void ReportDocument::set_open_spans(unsigned spans) {
    boolBold = (spans & kBoldSpan) != 0;
    boolItalic = (spans & kItalicSpan) != 0;
    boolUnderline = (spans & kUnderlineSpan) != 0;
}

void ReportDocument::fn_ConvertStyleCode(std::string_view code, TextBuffer& dest) {
    if (code == "~VT~") {
        return;
    }
    if (code == "~VTE~") {
        code = "~VTEbiu~";
    }
    if (code.size() == sizeof(std::uint64_t)) {
        // The codes of the usual length are read once each, while they fit the table.
        apply_style_code(known_code(code), dest);
        return;
    }
    const StyleCode read = read_style_code(code);
    set_font_and_alignment(read);
    set_open_spans(toggle_spans(read, open_spans(), [&](std::string_view tag) { dest += tag; }));
}

inline void ReportDocument::apply_style_code(const StyleCodeEffect& effect, TextBuffer& dest) {
    set_font_and_alignment(effect.code);
    const unsigned spans = open_spans();
    dest.append_first(effect.tags[spans], effect.tag_sizes[spans]);
    set_open_spans(effect.spans_after[spans]);
}

// fn_ConvertStyleCode, with a code of the usual length taken here, without a call.
inline void ReportDocument::convert_style_code(std::string_view code, TextBuffer& dest) {
    if (code.size() == sizeof(std::uint64_t)) {
        apply_style_code(known_code(code), dest);
        return;
    }
    fn_ConvertStyleCode(code, dest);
}

void ReportDocument::translate_style_codes(std::string_view text, bool last, TextBuffer& dest) {
    // The tags a code turns into hold no tilde, so one pass from left to right
    // sees every code. A tilde with no second one after it stays as text.
    // A piece other than the last may end inside a code: the code is
    // finished with the next piece.
    TextLine& t = text_line_;
    if (!t.tilde) {
        if (t.watch_lead) {
            t.lead_seen = find_byte(text, student_lead_) != std::string_view::npos;
        }
        dest.append_from(text, source_);
        return;
    }
    std::size_t pos = 0;
    if (t.in_code) {
        const auto close = find_byte(text, '~');
        if (close == std::string_view::npos) {
            extend_code(text);
            return;
        }
        extend_code(text.substr(0, close));
        t.code += '~';
        t.in_code = false;
        --t.tildes_left;
        fn_ConvertStyleCode(t.code, dest);
        pos = close + 1;
    }
    while (pos < text.size()) {
        // The text between the codes is looked at for the student number's
        // first byte too, until it is seen.
        auto open = t.watch_lead && !t.lead_seen ? find_either(text, '~', student_lead_, pos)
                                                 : find_byte(text, '~', pos);
        if (open != std::string_view::npos && text[open] != '~') {
            t.lead_seen = true;
            open = find_byte(text, '~', open + 1);
        }
        if (open == std::string_view::npos) {
            break;
        }
        const auto close = find_byte_soon(text, '~', open + 1);
        if (close == std::string_view::npos) {
            if (last || t.tildes_left < 2) {
                t.lead_seen = true;  // the rest, from the lone tilde on, is not looked at
                break;
            }
            dest.append(text.substr(pos, open - pos));
            t.in_code = true;
            t.code.clear();
            t.code_letters = {};
            --t.tildes_left;
            extend_code(text.substr(open));
            return;
        }
        dest.append_from(text.substr(pos, open - pos), source_);
        convert_style_code(text.substr(open, close - open + 1), dest);
        t.tildes_left -= std::min<std::size_t>(t.tildes_left, 2);
        pos = close + 1;
    }
    dest.append_from(text.substr(pos), source_);
}

// Keeps of a code's text what its conversion looks at: the first eight
// characters and the first b, i and u in either letter case.
void ReportDocument::extend_code(std::string_view text) {
    constexpr std::size_t kHead = 8;
    TextLine& t = text_line_;
    for (const char c : text) {
        const char lower = lower_1252(c);
        const int letter = lower == 'b' ? 0 : lower == 'i' ? 1 : lower == 'u' ? 2 : -1;
        const bool first_letter = letter >= 0 && !t.code_letters[static_cast<std::size_t>(letter)];
        if (first_letter) {
            t.code_letters[static_cast<std::size_t>(letter)] = true;
        }
        if (t.code.size() < kHead || first_letter) {
            t.code += c;
        } else if (t.code_letters[0] && t.code_letters[1] && t.code_letters[2]) {
            return;
        }
    }
}

}  // namespace quillet
