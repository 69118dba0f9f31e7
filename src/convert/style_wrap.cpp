// Wrapping text in the current style: the paragraph, font and span tags
// before it and the closing tags after it.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "report_document.h"

namespace quillet {
namespace {

// The closing tags of a wrap, by its bold, italic, underline and paragraph
// bits: "</B></I></U></P>" or a part of it, in that order.
struct ClosingTags {
    std::array<std::array<char, 16>, 16> tags{};
    std::array<std::uint8_t, 16> sizes{};
};

constexpr ClosingTags make_closing_tags() {
    constexpr std::string_view kPieces[] = {"</B>", "</I>", "</U>", "</P>"};
    ClosingTags closing;
    for (std::size_t index = 0; index < closing.tags.size(); ++index) {
        for (std::size_t piece = 0; piece < std::size(kPieces); ++piece) {
            if ((index >> piece & 1U) != 0) {
                for (const char c : kPieces[piece]) {
                    closing.tags[index][closing.sizes[index]++] = c;
                }
            }
        }
    }
    return closing;
}

constexpr ClosingTags kClosingTags = make_closing_tags();

bool same_view(std::string_view a, std::string_view b) {
    return a.data() == b.data() && a.size() == b.size();
}

}  // namespace

// The opening of a text line depends on the style state alone, which seldom
// changes from one line to the next: it is written once per state and copied.
ReportDocument::WrapClose ReportDocument::open_wrap(bool no_paragraph, bool no_font,
                                                    TextBuffer& dest) {
    if (no_paragraph || no_font) {
        return write_wrap_opening(no_paragraph, no_font, dest);
    }
    const unsigned state =
        open_spans() | (boolPreformatted ? 8U : 0U) | (boolPreBlockOpen ? 16U : 0U);
    WrapOpening& kept = wrap_openings_[state];
    if (!kept.written || !same_view(strParagraphTag, kept.paragraph) ||
        !same_view(strFontTag, kept.font)) {
        wrap_scratch_.clear();
        const WrapClose close = write_wrap_opening(false, false, wrap_scratch_);
        const auto tags = wrap_scratch_.view();
        if (tags.size() > kept.tags.size()) {
            kept.written = false;
            dest.append(tags);
            return close;
        }
        kept.written = true;
        kept.paragraph = strParagraphTag;
        kept.font = strFontTag;
        std::copy(tags.begin(), tags.end(), kept.tags.begin());
        kept.size = tags.size();
        kept.close = close;
        kept.block_open_after = boolPreBlockOpen;
    }
    boolPreBlockOpen = kept.block_open_after;
    dest.append_first(kept.tags, kept.size);
    return kept.close;
}

ReportDocument::WrapClose ReportDocument::write_wrap_opening(bool no_paragraph, bool no_font,
                                                             TextBuffer& dest) {
    WrapClose close{boolBold, boolItalic, boolUnderline, false};
    const bool inside_block = boolPreformatted && boolPreBlockOpen;
    std::string_view paragraph;
    if (!no_paragraph) {
        if (!boolPreformatted) {
            paragraph = strParagraphTag;
            close.paragraph = true;
        } else if (!boolPreBlockOpen) {
            boolPreBlockOpen = true;  // the block stays open: no closing tag
            paragraph = strParagraphTag;
        }
    }
    if (!boolPreformatted && boolPreBlockOpen) {
        boolPreBlockOpen = false;
        dest += "</PRE>";
    }
    dest += paragraph;
    if (!no_font && !inside_block) {
        dest += strFontTag;
    }
    if (boolUnderline) {
        dest += "<U>";
    }
    if (boolItalic) {
        dest += "<I>";
    }
    if (boolBold) {
        dest += "<B>";
    }
    return close;
}

void ReportDocument::close_wrap(const WrapClose& close, TextBuffer& dest) {
    const auto index = (close.bold ? 1U : 0U) | (close.italic ? 2U : 0U) |
                       (close.underline ? 4U : 0U) | (close.paragraph ? 8U : 0U);
    dest.append_first(kClosingTags.tags[index], kClosingTags.sizes[index]);
}

void ReportDocument::fn_WrapInStyles(std::string_view text, bool no_paragraph, bool no_font,
                                     TextBuffer& dest) {
    const auto close = open_wrap(no_paragraph, no_font, dest);
    dest += text;
    close_wrap(close, dest);
}

}  // namespace quillet
