// One HTML document being written from one source report: the conversion
// state of that document and the writers of its head, body, table of contents
// and closing lines. The output collects in a buffer that is handed to the
// sink in large chunks; a long line goes through the block steps in pieces
// and is handed on while it is written, so that the memory used stays the
// same whatever the length of a line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "line_shape.h"
#include "report_engine.h"
#include "section_headings.h"
#include "style_code_effect.h"
#include "substring_finder.h"
#include "text_buffer.h"

namespace quillet {

// A text line longer than this goes through the block steps in pieces of
// this size, and its output is handed on as it grows.
inline constexpr std::size_t kLinePiece = 64 * 1024;
// The smallest piece: the first piece of a line holds all of "~V~" and the
// two characters after it, whatever the steps hold back for the next one.
inline constexpr std::size_t kSmallestLinePiece = 8;
// The output is handed on whenever this much has collected.
inline constexpr std::size_t kChunk = 64 * 1024;

class ReportDocument {
public:
    ReportDocument(const DocumentFacts& facts, const SectionHeadingTable& headings, HtmlSink& sink,
                   std::size_t line_piece = kLinePiece);

    // Head, body and closing lines, then everything still buffered goes to the sink.
    DocumentOutcome write(std::string_view source);

private:
    enum class LineResult { written, nothing, failed };

    // What the spans and paragraph of one wrapped piece need at its end.
    struct WrapClose {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool paragraph = false;
    };

    // Document frame (document_frame.cpp).
    void pr_Write_HTML_Header();
    void pr_Write_HTML_Footer();

    // Body reader and line directives (report_body.cpp).
    bool fn_WriteReportBody(std::string_view source);
    // Steps taken for every line are written out in their one caller.
    [[gnu::always_inline]] inline LineResult fn_ConvertLine(std::string_view line,
                                                            const LineShape& shape,
                                                            std::size_t bytes_left);
    LineResult convert_page_directive(std::string_view line, std::size_t bytes_left);
    void append_centred(std::string_view text);
    LineResult fail_line(std::string_view what, std::string_view line);

    // In-line style codes (style_codes.cpp).
    void fn_ConvertStyleCode(std::string_view code, TextBuffer& dest);
    inline void set_font_and_alignment(const StyleCode& code);
    inline void set_open_spans(unsigned spans);
    void translate_style_codes(std::string_view text, bool last, TextBuffer& dest);
    void extend_code(std::string_view text);

    // Wrapping in the current style (style_wrap.cpp).
    WrapClose open_wrap(bool no_paragraph, bool no_font, TextBuffer& dest);
    WrapClose write_wrap_opening(bool no_paragraph, bool no_font, TextBuffer& dest);
    static void close_wrap(const WrapClose& close, TextBuffer& dest);
    void fn_WrapInStyles(std::string_view text, bool no_paragraph, bool no_font, TextBuffer& dest);
    unsigned open_spans() const {
        return (boolBold ? kBoldSpan : 0U) | (boolItalic ? kItalicSpan : 0U) |
               (boolUnderline ? kUnderlineSpan : 0U);
    }

    // Block constructs (block_constructs.cpp).
    void fn_ConvertBlocks(std::string_view line, LineShape shape);
    [[gnu::always_inline]] inline void convert_text_piece(std::string_view text, bool last);
    std::string_view convert_blanks(std::string_view text, bool last);
    std::string_view list_item_after_break(std::string_view text, bool last);
    void make_fixed_pitch();
    std::string_view apply_score_key(std::string_view line);
    void write_table_row(std::string_view line, bool escape);
    void append_text(std::string_view text, bool escape);
    void write_own_line(std::string_view text);
    std::string_view anchor_heading(std::string_view line);

    // Table of contents (table_of_contents.cpp).
    void pr_Write_Table_Of_Contents();
    int heading_count() const;
    const std::string& heading_text(int number) const;

    // Called after every line: written out here, so that it costs no call.
    void flush_if_full() {
        if (out_.size() >= kChunk) {
            sink_.write(out_);
            out_.clear();
        }
    }
    void flush_line_part();

    // The report being converted, and its bytes.
    std::string_view source_;
    std::int16_t intReportKind;
    std::string strStudentNumber;
    std::string report_name_;
    bool fennick_head_;
    const SectionHeadingTable& headings_;
    HtmlSink& sink_;
    std::size_t line_piece_;

    // Style state: the formatting in force at the current point of the body.
    bool boolBold = false;
    bool boolItalic = false;
    bool boolUnderline = false;
    std::string_view strParagraphTag;
    std::string_view strFontTag;
    bool boolPreformatted = false;
    bool boolPreBlockOpen = false;
    bool boolTableOpen = false;
    std::vector<bool> boolHeadingAnchored;  // by heading number, [0] unused
    // Style codes of eight characters already read, by their bytes: each
    // code has two places, of which the one used less lately is taken.
    struct KnownCode {
        std::uint64_t key = 0;
        StyleCodeEffect effect;
    };
    struct KnownCodePair {
        std::array<KnownCode, 2> codes;
        std::size_t recent = 0;
    };
    std::array<KnownCodePair, 8> known_codes_;
    inline const StyleCodeEffect& known_code(std::string_view code);
    static std::size_t known_code_pair(std::uint64_t key) {
        return (key * 0x9E3779B97F4A7C15ULL) >> 61;  // 0 to 7
    }
    inline void apply_style_code(const StyleCodeEffect& effect, TextBuffer& dest);
    inline void convert_style_code(std::string_view code, TextBuffer& dest);

    // The student number as it stands in the body text, and its search.
    SubstringFinder student_in_body_;
    // The number's first byte when no tag that wraps a text line or that a
    // style code writes holds it, otherwise 0: a text line written in one
    // piece whose text outside its style codes lacks the byte does not name
    // the student. line_without_lead_: the current output line is such a line.
    char student_lead_ = 0;
    bool line_without_lead_ = false;
    // Headings of this report kind, lower-cased, for the anchor comparison;
    // the numbers of the headings of each length; and how many headings of
    // each length are still waiting for their anchor.
    std::vector<std::string> lowered_headings_;
    std::vector<std::vector<std::size_t>> headings_by_length_;
    std::vector<int> unanchored_by_length_;

    // What the block steps carry from one piece of a text line to the next.
    struct TextLine {
        // Which steps the line needs, decided from the whole line.
        bool escape = false;
        bool tilde = false;  // the line may hold style codes
        bool expand_tabs = false;
        bool convert_blanks = false;
        bool list_break = false;
        // The leading blanks become non-breaking, and have not all been passed yet.
        bool leading_blanks = false;
        bool first = true;
        std::size_t column = 0;  // the length of the tab-expanded text so far, modulo 8
        std::string blank_held;  // a blank that may pair with the next piece's first
        std::string item_held;   // a CR, or CR and "-", that may start a list item
        bool item_found = false;
        bool v_item = false;  // the line began with "~V~"
        // The text of a line written in one piece is looked at for the
        // student number's first byte, and whether it was seen.
        bool watch_lead = false;
        bool lead_seen = false;
        WrapClose close;
        // Tildes of the line not yet read, and the style code that a piece
        // ended in (its first characters and first b, i and u only).
        std::size_t tildes_left = 0;
        bool in_code = false;
        std::string code;
        std::array<bool, 3> code_letters{};  // a b, an i, a u is in code
    };
    TextLine text_line_;

    // The tags that open a text line, by the spans, preformatted and
    // block-open bits they were written for, and the tags they were written with.
    struct WrapOpening {
        bool written = false;
        std::string_view paragraph;
        std::string_view font;
        std::array<char, 96> tags{};
        std::size_t size = 0;
        WrapClose close;
        bool block_open_after = false;
    };
    std::array<WrapOpening, 32> wrap_openings_;
    TextBuffer wrap_scratch_;

    // Output not yet handed to the sink; the current output line starts at
    // line_start_. line_names_student_: a part of the current line handed on
    // already named the student.
    TextBuffer out_;
    std::size_t line_start_ = 0;
    bool line_names_student_ = false;
    // The description of the last line that failed.
    std::string failure_;

    // Working copies of the line being converted, reused from line to line.
    std::string escaped_;
    std::string expanded_;
    std::string joined_;
    TextBuffer blanks_;
    std::string item_;
    std::string list_line_;
    std::string anchor_;
};

// write_report_document with text lines cut into pieces of line_piece bytes
// (at least kSmallestLinePiece): the document is the same whatever the size.
DocumentOutcome write_report_document_in_pieces(std::string_view source, const DocumentFacts& facts,
                                                const SectionHeadingTable& headings, HtmlSink& sink,
                                                std::size_t line_piece);

}  // namespace quillet
