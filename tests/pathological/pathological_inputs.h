// Pathological report input, generated in memory: runs of the characters
// and codes the body writer treats specially, repeated lines, a huge line.
// Each case knows the document it must produce, as pieces with repeat counts
// (so a 300 MB document is described in a few lines).
// Shared by the pathological test program and the benchmarks.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "report_engine.h"
#include "section_headings.h"
#include "text_case.h"

namespace quillet::pathological {

struct Piece {
    std::string text;
    std::size_t times = 1;
};

struct Case {
    DocumentFacts facts;
    std::string source;
    // The whole body, between the head and the closing lines.
    std::vector<Piece> body;
    // The per-line failure the document reports ("" for none) - its beginning.
    std::string failure_prefix;
};

inline std::string repeat(std::string_view text, std::size_t times) {
    std::string result;
    result.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

// The pieces one after the other.
inline std::string concat(std::initializer_list<std::string_view> pieces) {
    std::string result;
    for (const std::string_view piece : pieces) {
        result += piece;
    }
    return result;
}

inline const DocumentFacts& analysis_facts() {
    static const DocumentFacts facts{kKindAnalysis, "12345678", "Analysis", false};
    return facts;
}
inline const DocumentFacts& dyslexia_facts() {
    static const DocumentFacts facts{kKindDyslexia, "12345678", "Dyslexia", false};
    return facts;
}
inline const DocumentFacts& fennick_facts() {
    static const DocumentFacts facts{kKindFennick, "jones", "jones", true};
    return facts;
}

inline std::string expected_head(const DocumentFacts& facts) {
    std::string head =
        "<HTML>\r\n<HEAD>\r\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\r\n";
    if (facts.fennick) {
        head += "<META NAME=\"Fennick Report\" CONTENT=\"Student number " + facts.strStudentNumber +
                "\">\r\n<TITLE>Fennick Report for " + facts.strStudentNumber + "</TITLE>\r\n";
    } else {
        head += "<META NAME=\"Orvella " + facts.report_name +
                " Report\" CONTENT=\"Student number " + facts.strStudentNumber +
                "\">\r\n<TITLE>Orvella " + facts.report_name + " Report for " +
                facts.strStudentNumber + "</TITLE>\r\n";
    }
    return head +
           "<STYLE>\r\n.pagebreak {page-break-after:always}\r\n</STYLE>\r\n</HEAD>\r\n<BODY>\r\n"
           "<FONT FACE=\"Arial\" SIZE=2>\r\n<A NAME=\"TOP\"><!-- --></A>\r\n";
}

inline constexpr std::string_view kFooter = "</BODY>\r\n</HTML>\r\n";

// Output pieces of the body writer.
inline const std::string kFont = "<Font FACE = \"Arial\" SIZE=2>";
inline const std::string kPageBreak =
    "<H1 class=\"pagebreak\"><HR></H1>\n<br clear=all style='page-break-after:always'>\r\n";
inline const std::string kTableOpen = "<TABLE CELLSPACING=1 CELLPADDING=0>\r\n";

// A text line in the body font, left-aligned.
inline std::string wrapped(std::string_view text) {
    return "<P>" + kFont + std::string(text) + "</P>\r\n";
}
inline std::string centred_heading(std::string_view text) {
    return "<P ALIGN=\"CENTER\"><B>" + std::string(text) + "</B></P>\r\n";
}
inline std::string heading_text(std::int16_t kind, int number) {
    return standard_section_headings()
        .strSectionHeading[static_cast<std::size_t>(kind)][static_cast<std::size_t>(number)][0];
}
inline std::string nbsp(std::size_t times) {
    return repeat("&nbsp;", times);
}

// Every heading of the kind, one per line, the whole outline n times over:
// the first round becomes the anchors, the others stay text.
inline Case outline_repeated(const DocumentFacts& facts, std::size_t n) {
    Case c;
    c.facts = facts;
    const int count = standard_section_headings()
                          .intSectionHeadingCount[static_cast<std::size_t>(facts.intReportKind)];
    std::string round;
    std::string anchors;
    std::string plain;
    for (int k = 1; k <= count; ++k) {
        const std::string text = heading_text(facts.intReportKind, k);
        round += text + "\r\n";
        anchors += wrapped("<A NAME=\"SEC" + std::to_string(k) + "\" HREF = \"#TOP\">" +
                           upper_1252(text) + "</A>");
        plain += wrapped(text);
    }
    c.source = repeat(round, n);
    c.body = {{anchors}, {plain, n - 1}};
    return c;
}

inline const std::vector<std::string>& case_names() {
    static const std::vector<std::string> names = {
        "tilde_run",        "tilde_lines",      "bold_code_run",      "bold_code_pairs",
        "style_code_lines", "tab_run",          "tab_cells",          "tab_stop_lines",
        "leading_blanks",   "blank_pairs",      "blank_line",         "nbsp_lines",
        "page_break_lines", "fennick_headings", "fennick_supplement", "directive_digits",
        "dropped_lines",    "underscore_lines", "carriage_returns",   "list_break_lines",
        "list_break_run",   "empty_lines",      "line_feeds",         "huge_line",
        "analysis_outline", "dyslexia_outline", "student_lines",
    };
    return names;
}

// The case of this name with n repetitions of its unit (huge_line: n bytes
// of prose; the outlines: n rounds). Unknown names give an empty source.
inline Case make_case(std::string_view name, std::size_t n) {
    Case c;
    c.facts = analysis_facts();
    if (name == "tilde_run") {
        // Pairs of tildes are empty codes; the odd one out stays as text.
        c.source = concat({"x", std::string(n + 1, '~'), "\r\n"});
        c.body = {{wrapped("x~")}};
    } else if (name == "tilde_lines") {
        c.source = repeat("~\r\n", n);
        c.body = {{wrapped("~"), n}};
    } else if (name == "bold_code_run") {
        c.source = concat({"x", repeat("~B~", n), "\r\n"});
        c.body = {{"<P>" + kFont + "x<B></P>\r\n"}};
    } else if (name == "bold_code_pairs") {
        c.source = concat({"x", repeat("~B~~b~", n / 2), "\r\n"});
        c.body = {{"<P>" + kFont + "x"}, {"<B></B>", n / 2}, {"</P>\r\n"}};
    } else if (name == "style_code_lines") {
        c.source = repeat("~BiuL12~\r\n~biuL12~\r\n", n / 2);
        c.body = {{"<B>\r\n</B>\r\n", n / 2}};
    } else if (name == "tab_run") {
        c.source = std::string(n, '\t') + "\r\n";
        c.body = {{kTableOpen + "<TR><TD WIDTH=150><P></P></TD></TR>\r\n"}};
    } else if (name == "tab_cells") {
        c.source = repeat("a\t\t", n / 2) + "\r\n";
        c.body = {{kTableOpen + "<TR><TD WIDTH=150><P>a</P></TD>"},
                  {"<TD WIDTH=500><P>a</P></TD>", n / 2 - 1},
                  {"</TR>\r\n"}};
    } else if (name == "tab_stop_lines") {
        c.source = repeat("ab\tc\r\n", n);
        c.body = {{wrapped("ab" + nbsp(6) + "c"), n}};
    } else if (name == "leading_blanks") {
        c.source = std::string(n, ' ') + "x\r\n";
        c.body = {{"<P>" + kFont}, {"&nbsp;", n}, {"x</P>\r\n"}};
    } else if (name == "blank_pairs") {
        c.source = concat({"a", std::string(2 * (n / 2) + 1, ' '), "b\r\n"});
        c.body = {{"<P>" + kFont + "a"}, {"&nbsp;", 2 * (n / 2)}, {" b</P>\r\n"}};
    } else if (name == "blank_line") {
        c.source = std::string(2 * (n / 2), ' ') + "\r\n";
        c.body = {{"<P>" + kFont}, {"&nbsp;", 2 * (n / 2)}, {"</P>\r\n"}};
    } else if (name == "nbsp_lines") {
        c.source = repeat("   indented  text   here\r\n", n);
        c.body = {{wrapped(nbsp(3) + "indented" + nbsp(2) + "text" + nbsp(2) + " here"), n}};
    } else if (name == "page_break_lines") {
        c.source = repeat("@\r\n", n);
        c.body = {{kPageBreak, n}};
    } else if (name == "fennick_headings") {
        c.facts = fennick_facts();
        c.source = repeat("@3\r\n", n);
        c.body = {{kPageBreak + centred_heading(upper_1252(heading_text(kKindFennick, 3))), n}};
    } else if (name == "fennick_supplement") {
        // "@@" brings heading 5, except on the last line of the report.
        c.facts = fennick_facts();
        c.source = repeat("@@\r\n", n);
        c.body = {{kPageBreak + centred_heading(upper_1252(heading_text(kKindFennick, 5))), n - 1},
                  {kPageBreak + "\r\n"}};
    } else if (name == "directive_digits") {
        c.facts = fennick_facts();
        c.source = concat({"@", std::string(n, '0'), "3\r\n",  //
                           "@", std::string(n, '9'), "\r\n",   // out of range: dropped, reported
                           "_", std::string(n, '0'), "5\r\n",  // dropped
                           "@", std::string(n, ' '), "2\r\n"});
        c.body = {{kPageBreak + centred_heading(upper_1252(heading_text(kKindFennick, 3)))},
                  {kPageBreak + centred_heading(upper_1252(heading_text(kKindFennick, 2)))}};
        c.failure_prefix = "Line 2: ";
    } else if (name == "dropped_lines") {
        c.source = repeat("_5\r\n", n);
    } else if (name == "underscore_lines") {
        c.source = repeat("_\r\n", n);
        c.body = {{wrapped("_"), n}};
    } else if (name == "carriage_returns") {
        // Only the CR right before the LF ends the line.
        c.source = concat({"x", std::string(n, '\r'), "\n"});
        c.body = {{"<P>" + kFont + "x"}, {"\r", n - 1}, {"</P>\r\n"}};
    } else if (name == "list_break_lines") {
        c.source = repeat("a\r- b\r\n", n);
        c.body = {{wrapped("a\r<LI>b</LI>"), n}};
    } else if (name == "list_break_run") {
        // Only the first item of a line is converted.
        c.source = repeat("\r- ", n / 3) + "\r\n";
        c.body = {{"<P>" + kFont + "\r<LI>"}, {"\r- ", n / 3 - 1}, {"</LI></P>\r\n"}};
    } else if (name == "empty_lines") {
        c.source = repeat("\r\n", n);
    } else if (name == "line_feeds") {
        c.source = std::string(n, '\n');
    } else if (name == "huge_line") {
        constexpr std::string_view kProse =
            "Lorem ipsum ~BiuL12~dolor~biuL12~ sit amet, <consectetur> & adipiscing ";
        constexpr std::string_view kWritten =
            "Lorem ipsum <B>dolor</B> sit amet, &lt;consectetur&gt; & adipiscing ";
        const std::size_t times = n / kProse.size();
        c.source = repeat(kProse, times) + "\r\n";
        c.body = {{"<P>" + kFont}, {std::string(kWritten), times}, {"</P>\r\n"}};
    } else if (name == "analysis_outline") {
        c = outline_repeated(analysis_facts(), n);
    } else if (name == "dyslexia_outline") {
        c = outline_repeated(dyslexia_facts(), n);
    } else if (name == "student_lines") {
        // Every line names the student: the same table of contents after each.
        const std::string line = "Report for student 12345678\r\n";
        StringSink one;
        write_report_document(line, c.facts, standard_section_headings(), one);
        const std::string head = expected_head(c.facts);
        c.source = repeat(line, n);
        c.body = {
            {one.text.substr(head.size(), one.text.size() - head.size() - kFooter.size()), n}};
    }
    return c;
}

}  // namespace quillet::pathological
