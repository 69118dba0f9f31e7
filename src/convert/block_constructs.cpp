// Block constructs of a text line: the score key, two-column tables, tab
// stops, runs of blanks, list items and section anchors; then the line is
// wrapped in the current style and its style codes are translated.
#include <algorithm>
#include <array>
#include <string>

#include "byte_search.h"
#include "html_pieces.h"
#include "line_shape.h"
#include "markup_escape.h"
#include "report_document.h"
#include "score_key.h"
#include "text_case.h"

namespace quillet {
namespace {

constexpr std::string_view kNbsp = "&nbsp;";
constexpr std::size_t kTabStop = 8;

// count non-breaking blanks. All of kMany is copied and cut back: a copy of
// one fixed size costs less than one of a size that varies.
void append_nbsp(std::size_t count, TextBuffer& dest) {
    static constexpr auto kMany = [] {
        std::array<char, 16 * kNbsp.size()> many{};
        for (std::size_t i = 0; i < many.size(); ++i) {
            many[i] = kNbsp[i % kNbsp.size()];
        }
        return many;
    }();
    while (count > 0) {
        const std::size_t take = std::min(count, kMany.size() / kNbsp.size());
        dest.append_first(kMany, take * kNbsp.size());
        count -= take;
    }
}

// Each TAB becomes blanks up to the next stop (stops every 8 columns);
// column: where the text starts, modulo 8, and on return where it ends.
std::string_view expand_tabs(std::string_view text, std::size_t& column, std::string& dest) {
    dest.clear();
    const std::size_t start = column;
    for (const char c : text) {
        if (c == '\t') {
            dest.append(kTabStop - (start + dest.size()) % kTabStop, ' ');
        } else {
            dest += c;
        }
    }
    column = (start + dest.size()) % kTabStop;
    return dest;
}

// What a step left over from the previous piece, followed by this piece.
std::string_view after_held(std::string& held, std::string_view text, std::string& joined) {
    if (held.empty()) {
        return text;
    }
    joined.assign(held);
    joined.append(text);
    held.clear();
    return joined;
}

}  // namespace

void ReportDocument::fn_ConvertBlocks(std::string_view line, LineShape shape) {
    // The score key holds no "<", ">", "&" or ";": it stands in the escaped
    // line exactly where it stands in the line.
    if (shape.blank_pair && line.size() >= score_key::kShortest) {
        const auto keyed = apply_score_key(line);
        if (keyed.data() != line.data()) {
            line = keyed;
            shape = shape_of(line);
        }
    }
    if (shape.tabs >= 2) {
        // Report text never becomes markup of its own.
        write_table_row(line, shape.markup);
        return;
    }
    if (boolTableOpen) {
        boolTableOpen = false;
        write_own_line(html::kTableClose);
    }
    TextLine& t = text_line_;
    t.escape = shape.markup;
    t.tilde = shape.tilde;
    t.expand_tabs = shape.tabs > 0;
    // The blanks a TAB becomes may stand next to others.
    t.convert_blanks = shape.blank_pair || t.expand_tabs || line.starts_with(' ');
    // Leading blanks of a line that holds other text become non-breaking.
    std::size_t leading = 0;
    while (leading < line.size() && (line[leading] == ' ' || line[leading] == '\t')) {
        ++leading;
    }
    t.leading_blanks = leading > 0 && leading < line.size();
    t.list_break = shape.carriage_return;
    t.first = true;
    t.column = 0;
    t.blank_held.clear();
    t.item_held.clear();
    t.item_found = false;
    t.v_item = false;
    t.in_code = false;
    // A line that could be a heading is always one piece.
    const std::size_t piece = std::max(line_piece_, unanchored_by_length_.size());
    if (line.size() <= piece) {
        convert_text_piece(line, true);
        return;
    }
    t.tildes_left = static_cast<std::size_t>(std::count(line.begin(), line.end(), '~'));
    for (std::size_t pos = 0; pos < line.size(); pos += piece) {
        convert_text_piece(line.substr(pos, piece), pos + piece >= line.size());
        flush_line_part();
    }
}

// The steps of a text line, one piece at a time: escaping, TABs, blanks,
// list items, section anchors, then the line is wrapped in the current style
// and its style codes are translated.
void ReportDocument::convert_text_piece(std::string_view text, bool last) {
    TextLine& t = text_line_;
    t.watch_lead = t.first && last && student_lead_ != 0;
    t.lead_seen = false;
    if (t.escape) {
        text = escaped_text(text, escaped_);
    }
    if (t.expand_tabs) {
        text = expand_tabs(text, t.column, expanded_);
    }
    if (t.convert_blanks) {
        text = convert_blanks(text, last);
    }
    if (t.list_break) {
        text = list_item_after_break(text, last);
    }
    // A piece other than the last is long: the first holds all of "~V~" and
    // the two characters after it.
    if (t.first && text.starts_with("~V~")) {
        // Characters 4 and 5 (a hyphen and a blank in the reports) are dropped.
        t.v_item = true;
        const auto dropped = std::min<std::size_t>(5, text.size());
        t.tildes_left -= std::min<std::size_t>(
            t.tildes_left,
            static_cast<std::size_t>(std::count(text.begin(), text.begin() + dropped, '~')));
        list_line_ = "<LI>";
        list_line_.append(text.substr(dropped));
        if (last) {
            list_line_ += "</LI>";
        }
        text = list_line_;
    } else if (last && t.v_item) {
        list_line_.assign(text);
        list_line_ += "</LI>";
        text = list_line_;
    }
    if (t.first) {
        if (last) {
            text = anchor_heading(text);
        }
        t.close = open_wrap(false, false, out_);
        t.first = false;
    }
    translate_style_codes(text, last, out_);
    if (last) {
        close_wrap(t.close, out_);
    }
    line_without_lead_ = t.watch_lead && !t.lead_seen;
}

// Every pair of blanks, from left to right, becomes two non-breaking blanks;
// the leading blanks of a line that holds other text each become one. A blank
// left over at the end of a piece waits for the next piece.
std::string_view ReportDocument::convert_blanks(std::string_view text, bool last) {
    TextLine& t = text_line_;
    text = after_held(t.blank_held, text, joined_);
    TextBuffer& dest = blanks_;
    dest.clear();
    std::size_t pos = 0;
    if (t.leading_blanks) {
        const auto end = std::min(text.find_first_not_of(' '), text.size());
        append_nbsp(end, dest);
        pos = end;
        t.leading_blanks = end == text.size();
    }
    auto stop = text.size();
    if (!last && pos < stop) {
        const auto run = stop - (text.find_last_not_of(' ') + 1);
        if (run % 2 == 1) {
            t.blank_held.assign(1, ' ');
            --stop;
        }
    }
    const auto rest = text.substr(0, stop);
    // Runs of blanks: each pair of a run becomes two non-breaking blanks, an
    // odd last blank stays.
    std::size_t done = pos;
    while (pos + 1 < stop) {
        pos = find_blank_pair(rest, pos);
        if (pos == std::string_view::npos) {
            break;
        }
        std::size_t end = pos + 2;
        while (end < stop && rest[end] == ' ') {
            ++end;
        }
        dest.append_from(rest.substr(done, pos - done), source_);
        append_nbsp((end - pos) / 2 * 2, dest);
        pos += (end - pos) / 2 * 2;
        done = pos;
    }
    dest.append_from(rest.substr(done), source_);
    return dest.view();
}

// The first CR + "- " starts a list item that runs to the end of the line. A
// CR, or CR and "-", at the end of a piece waits for the next piece.
std::string_view ReportDocument::list_item_after_break(std::string_view text, bool last) {
    TextLine& t = text_line_;
    if (t.item_found) {
        if (!last) {
            return text;
        }
        item_.assign(text);
        item_ += "</LI>";
        return item_;
    }
    text = after_held(t.item_held, text, joined_);
    for (auto cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', cr + 1)) {
        const auto after = text.substr(cr + 1, 2);
        if (after == "- ") {
            t.item_found = true;
            item_.assign(text.substr(0, cr + 1));
            item_ += "<LI>";
            item_.append(text.substr(cr + 3));
            if (last) {
                item_ += "</LI>";
            }
            return item_;
        }
        if (!last && cr + 3 > text.size() && std::string_view("- ").starts_with(after)) {
            t.item_held.assign(text.substr(cr));
            return text.substr(0, cr);
        }
    }
    return text;
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
            break;
        }
    }
    return line;
}

void ReportDocument::write_table_row(std::string_view line, bool escape) {
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
            append_text(piece, escape);
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

// A long text is added and handed on in pieces.
void ReportDocument::append_text(std::string_view text, bool escape) {
    for (std::size_t pos = 0; pos < text.size(); pos += line_piece_) {
        const auto piece = text.substr(pos, line_piece_);
        if (escape) {
            append_escaped_text(piece, out_);
        } else {
            out_.append(piece);
        }
        flush_line_part();
    }
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
    for (const std::size_t k : headings_by_length_[line.size()]) {
        if (boolHeadingAnchored[k] || !equal_ignoring_case(line, lowered_headings_[k])) {
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
