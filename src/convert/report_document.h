// One HTML document being written from one source report: the conversion
// state of that document and the writers of its head, body, table of contents
// and closing lines. The output collects in a buffer that is handed to the
// sink in large chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report_engine.h"
#include "section_headings.h"
#include "substring_finder.h"

namespace quillet {

class ReportDocument {
public:
    ReportDocument(const DocumentFacts& facts, const SectionHeadingTable& headings, HtmlSink& sink);

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
    LineResult fn_ConvertLine(std::string_view line, std::size_t bytes_left);
    LineResult convert_page_directive(std::string_view line, std::size_t bytes_left);
    void append_centred(std::string_view text);
    LineResult fail_line(std::string_view what, std::string_view line);

    // In-line style codes and wrapping (style_codes.cpp).
    void fn_ConvertStyleCode(std::string_view code, std::string& dest);
    void translate_style_codes(std::string_view text, std::string& dest);
    WrapClose open_wrap(bool no_paragraph, bool no_font, std::string& dest);
    static void close_wrap(const WrapClose& close, std::string& dest);
    void fn_WrapInStyles(std::string_view text, bool no_paragraph, bool no_font, std::string& dest);

    // Block constructs (block_constructs.cpp).
    void fn_ConvertBlocks(std::string_view line);
    void make_fixed_pitch();
    std::string_view apply_score_key(std::string_view line);
    void write_table_row(std::string_view line);
    void write_own_line(std::string_view text);
    std::string_view anchor_heading(std::string_view line);

    // Table of contents (table_of_contents.cpp).
    void pr_Write_Table_Of_Contents();
    int heading_count() const;
    const std::string& heading_text(int number) const;

    void flush_if_full();

    // The report being converted.
    std::int16_t intReportKind;
    std::string strStudentNumber;
    std::string report_name_;
    bool fennick_head_;
    const SectionHeadingTable& headings_;
    HtmlSink& sink_;

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

    // The student number as it stands in the body text, and its search.
    SubstringFinder student_in_body_;
    // Headings of this report kind, lower-cased, for the anchor comparison,
    // and how many headings of each length are still waiting for their anchor.
    std::vector<std::string> lowered_headings_;
    std::vector<int> unanchored_by_length_;

    // Output not yet handed to the sink; the current output line starts at line_start_.
    std::string out_;
    std::size_t line_start_ = 0;
    // The description of the last line that failed.
    std::string failure_;

    // Working copies of the line being converted, reused from line to line.
    std::string escaped_;
    std::string expanded_;
    std::string blanks_;
    std::string item_;
    std::string list_line_;
    std::string anchor_;
};

}  // namespace quillet
