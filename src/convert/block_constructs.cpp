// Block constructs of a text line: the score key, two-column tables, tab
// stops, runs of blanks, list items and section anchors; then the line is
// wrapped in the current style and its style codes are translated.
#include <algorithm>
#include <string>

#include "html_pieces.h"
#include "line_shape.h"
#include "markup_escape.h"
#include "report_document.h"
#include "score_key.h"
#include "text_case.h"

namespace quillet {
namespace {

constexpr std::string_view kNbsp = "&nbsp;";
constexpr std::string_view kTwoNbsp = "&nbsp;&nbsp;";
constexpr std::size_t kTabStop = 8;

// Each TAB becomes blanks up to the next stop (stops every 8 columns).
std::string_view expand_tabs(std::string_view line, std::string& dest) {
    dest.clear();
    for (const char c : line) {
        if (c == '\t') {
            dest.append(kTabStop - dest.size() % kTabStop, ' ');
        } else {
            dest += c;
        }
    }
    return dest;
}

// Leading blanks of a line that holds other text become non-breaking; then
// every pair of blanks, from left to right, becomes two non-breaking blanks.
std::string_view convert_blanks(std::string_view line, std::string& dest) {
    dest.clear();
    const auto leading = std::min(line.find_first_not_of(' '), line.size());
    std::size_t pos = 0;
    if (leading > 0 && leading < line.size()) {
        for (; pos < leading; ++pos) {
            dest += kNbsp;
        }
    }
    while (pos < line.size()) {
        const auto blank = line.find("  ", pos);
        if (blank == std::string_view::npos) {
            break;
        }
        dest.append(line.substr(pos, blank - pos));
        pos = blank;
        for (; pos + 1 < line.size() && line[pos] == ' ' && line[pos + 1] == ' '; pos += 2) {
            dest += kTwoNbsp;
        }
    }
    dest.append(line.substr(pos));
    return dest;
}

// The first CR + "- " starts a list item that runs to the end of the line.
std::string_view list_item_after_break(std::string_view line, std::string& dest) {
    for (auto cr = line.find('\r'); cr != std::string_view::npos; cr = line.find('\r', cr + 1)) {
        if (line.substr(cr + 1, 2) == "- ") {
            dest.assign(line.substr(0, cr + 1));
            dest += "<LI>";
            dest.append(line.substr(cr + 3));
            dest += "</LI>";
            return dest;
        }
    }
    return line;
}

}  // namespace

void ReportDocument::fn_ConvertBlocks(std::string_view line) {
    // Report text never becomes markup of its own.
    LineShape shape = shape_of(line);
    if (shape.markup) {
        line = escaped_text(line, escaped_);
    }
    if (shape.blank_pair && line.size() >= score_key::kShortest) {
        const auto keyed = apply_score_key(line);
        if (keyed.data() != line.data()) {
            line = keyed;
            shape = shape_of(line);
        }
    }
    if (shape.tabs >= 2) {
        write_table_row(line);
        return;
    }
    if (boolTableOpen) {
        boolTableOpen = false;
        write_own_line(html::kTableClose);
    }
    if (shape.tabs > 0) {
        line = expand_tabs(line, expanded_);
        shape.blank_pair = true;  // the blanks a TAB became may stand next to others
    }
    if (shape.blank_pair || line.starts_with(' ')) {
        line = convert_blanks(line, blanks_);
    }
    if (shape.carriage_return) {
        line = list_item_after_break(line, item_);
    }
    if (line.starts_with("~V~")) {
        // Characters 4 and 5 (a hyphen and a blank in the reports) are dropped.
        list_line_ = "<LI>";
        list_line_.append(line.substr(std::min<std::size_t>(5, line.size())));
        list_line_ += "</LI>";
        line = list_line_;
    }
    line = anchor_heading(line);
    const auto close = open_wrap(false, false, out_);
    translate_style_codes(line, out_);
    close_wrap(close, out_);
}

void ReportDocument::make_fixed_pitch() {
    strParagraphTag = html::kPre;
    boolPreformatted = true;
    strFontTag = html::kFontCourier3;
}

std::string_view ReportDocument::apply_score_key(std::string_view line) {
    if (score_key::holds(line, score_key::kHeadingFound, 'K')) {
        make_fixed_pitch();
        return score_key::kHeadingWritten;
    }
    for (const auto row : score_key::kRows) {
        if (score_key::holds(line, row, '%')) {
            make_fixed_pitch();
        }
    }
    return line;
}

void ReportDocument::write_table_row(std::string_view line) {
    if (!boolTableOpen) {
        boolTableOpen = true;
        write_own_line(html::kTableOpen);
    }
    // The line is cut at runs of TABs; an empty piece before the first TAB or
    // after the last one does not count. The first piece is the label.
    out_ += html::kRowLabelOpen;
    bool label = true;
    std::size_t pos = 0;
    while (pos <= line.size()) {
        auto tab = line.find('\t', pos);
        if (tab == std::string_view::npos) {
            tab = line.size();
        }
        const auto piece = line.substr(pos, tab - pos);
        if (!piece.empty()) {
            if (!label) {
                out_ += html::kValueOpen;
            }
            out_ += piece;
            out_ += html::kCellClose;
            label = false;
        }
        pos = line.find_first_not_of('\t', tab);
        if (pos == std::string_view::npos) {
            break;
        }
    }
    if (label) {
        out_ += html::kCellClose;  // no text at all: the empty label cell alone
    }
    out_ += html::kRowClose;
}

void ReportDocument::write_own_line(std::string_view text) {
    out_ += text;
    out_ += html::kLineEnd;
    line_start_ = out_.size();
}

std::string_view ReportDocument::anchor_heading(std::string_view line) {
    if (line.size() >= unanchored_by_length_.size() || unanchored_by_length_[line.size()] == 0) {
        return line;
    }
    // The first heading not yet anchored whose text is the whole line, letter case aside.
    for (std::size_t k = 1; k < lowered_headings_.size(); ++k) {
        if (boolHeadingAnchored[k] || lowered_headings_[k].size() != line.size() ||
            !equal_ignoring_case(line, lowered_headings_[k])) {
            continue;
        }
        boolHeadingAnchored[k] = true;
        --unanchored_by_length_[line.size()];
        anchor_ = "<A NAME=\"SEC" + std::to_string(k) + "\" HREF = \"#TOP\">";
        append_upper_1252(heading_text(static_cast<int>(k)), anchor_);
        anchor_ += "</A>";
        return anchor_;
    }
    return line;
}

}  // namespace quillet
