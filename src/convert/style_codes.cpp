// In-line style codes between tildes.
#include "byte_search.h"
#include "html_pieces.h"
#include "report_document.h"
#include "text_case.h"

namespace quillet {
namespace {

// Opens or closes one span by the letter that stands for it in a code: a
// capital opens it when it is closed, a small letter closes it when it is open.
void toggle_span(char letter, char capital, bool& open, std::string_view open_tag,
                 std::string_view close_tag, TextBuffer& dest) {
    if (letter == capital && !open) {
        open = true;
        dest += open_tag;
    } else if (letter == capital + ('a' - 'A') && open) {
        open = false;
        dest += close_tag;
    }
}

}  // namespace

void ReportDocument::fn_ConvertStyleCode(std::string_view code, TextBuffer& dest) {
    if (code == "~VT~") {
        return;
    }
    if (code == "~VTE~") {
        code = "~VTEbiu~";
    }
    const bool font_code = code.size() >= 2 && code[0] == '~' && lower_1252(code[1]) == 'b';
    if (font_code) {
        // The size code: characters 6 and 7.
        const auto size = code.size() > 5 ? code.substr(5, 2) : std::string_view{};
        boolPreformatted = false;
        if (size == "12") {
            strFontTag = html::kFontArial2;
        } else if (size == "18") {
            strFontTag = html::kFontArial3;
        } else if (size == "25") {
            strFontTag = html::kFontArial5;
        } else {
            strFontTag = html::kFontCourier3;  // 10 and every other size
            boolPreformatted = true;
        }
    }
    // Only the first b, i and u of the code count, in either letter case. In
    // the font codes the reports use they stand at characters 2, 3 and 4.
    char bold = 0;
    char italic = 0;
    char underline = 0;
    const auto is = [](char c, char small) { return (c | ('a' - 'A')) == small; };
    if (font_code && code.size() >= 4 && is(code[2], 'i') && is(code[3], 'u')) {
        bold = code[1];
        italic = code[2];
        underline = code[3];
    }
    for (const char c : bold != 0 ? std::string_view{} : code) {
        const char lower = lower_1252(c);
        if (lower == 'b' && bold == 0) {
            bold = c;
        } else if (lower == 'i' && italic == 0) {
            italic = c;
        } else if (lower == 'u' && underline == 0) {
            underline = c;
        }
        if (bold != 0 && italic != 0 && underline != 0) {
            break;
        }
    }
    toggle_span(bold, 'B', boolBold, "<B>", "</B>", dest);
    toggle_span(italic, 'I', boolItalic, "<I>", "</I>", dest);
    toggle_span(underline, 'U', boolUnderline, "<U>", "</U>", dest);
    if (font_code && code.size() >= 5) {
        // The alignment letter: character 5, letter case counts.
        if (code[4] == 'L') {
            strParagraphTag = boolPreformatted ? html::kPre : html::kParagraph;
        } else if (code[4] == 'C') {
            strParagraphTag = boolPreformatted ? html::kPreCentred : html::kParagraphCentred;
        }
    }
}

void ReportDocument::translate_style_codes(std::string_view text, bool last, TextBuffer& dest) {
    // The tags a code turns into hold no tilde, so one pass from left to right
    // sees every code. A tilde with no second one after it stays as text.
    // A piece other than the last may end inside a code: the code is
    // finished with the next piece.
    TextLine& t = text_line_;
    if (!t.tilde) {
        dest.append(text);
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
        const auto open = find_byte(text, '~', pos);
        if (open == std::string_view::npos) {
            break;
        }
        const auto close = find_byte(text, '~', open + 1);
        if (close == std::string_view::npos) {
            if (last || t.tildes_left < 2) {
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
        dest.append(text.substr(pos, open - pos));
        fn_ConvertStyleCode(text.substr(open, close - open + 1), dest);
        t.tildes_left -= std::min<std::size_t>(t.tildes_left, 2);
        pos = close + 1;
    }
    dest.append(text.substr(pos));
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
