// The body writer: splits the source into lines, turns each line into its
// output line by the line directives, and starts the table of contents after
// a written line that names the student.
#include <string>

#include "directive_number.h"
#include "html_pieces.h"
#include "line_shape.h"
#include "markup_escape.h"
#include "report_document.h"
#include "text_case.h"

namespace quillet {
namespace {

// How much of a failing line its description quotes.
constexpr std::size_t kExcerptLength = 40;

std::string excerpt(std::string_view line) {
    std::string text(line.substr(0, kExcerptLength));
    for (auto& c : text) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = ' ';
        }
    }
    if (line.size() > kExcerptLength) {
        text += "...";
    }
    return text;
}

}  // namespace

bool ReportDocument::fn_WriteReportBody(std::string_view source) {
    std::size_t line_number = 0;
    std::size_t pos = 0;
    while (pos < source.size()) {
        const auto [line, next, shape] = line_at(source, pos);
        pos = next;
        ++line_number;

        line_start_ = out_.size();
        line_names_student_ = false;
        line_without_lead_ = false;
        switch (fn_ConvertLine(line, shape, source.size() - next)) {
            case LineResult::written: {
                const bool names_student =
                    intReportKind != kKindFennick && !student_in_body_.needle().empty() &&
                    (line_names_student_ ||
                     (!line_without_lead_ &&
                      student_in_body_.found_in(std::string_view(out_).substr(line_start_))));
                out_ += html::kLineEnd;
                if (names_student) {
                    strParagraphTag = html::kParagraph;
                    boolPreformatted = false;
                    strFontTag = html::kFontArial2;
                    pr_Write_Table_Of_Contents();
                }
                break;
            }
            case LineResult::failed:
                out_.truncate(line_start_);
                failure_ = "Line " + std::to_string(line_number) + ": " + failure_;
                break;
            case LineResult::nothing:
                out_.truncate(line_start_);
                break;
        }
        flush_if_full();
    }
    return true;
}

ReportDocument::LineResult ReportDocument::fn_ConvertLine(std::string_view line,
                                                          const LineShape& shape,
                                                          std::size_t bytes_left) {
    if (line.starts_with('@')) {
        return convert_page_directive(line, bytes_left);
    }
    if (line.starts_with('_')) {
        const auto n = read_directive_number(line.substr(1));
        if (!n) {
            return fail_line("directive number out of range", line);
        }
        if (*n > 0) {
            return LineResult::nothing;
        }
    }
    if (line.size() == 6 && equal_ignoring_case(line, "~LINE~")) {
        out_ += "<HR>";
        return LineResult::written;
    }
    if (line.empty()) {
        return LineResult::nothing;
    }
    if (line.size() >= 2 && line[0] == '~' && lower_1252(line[1]) == 'b') {
        // The whole line is one style code; only the tags it returns are written.
        fn_ConvertStyleCode(line, out_);
        line_without_lead_ = student_lead_ != 0;
        return LineResult::written;
    }
    fn_ConvertBlocks(line, shape);
    return LineResult::written;
}

ReportDocument::LineResult ReportDocument::convert_page_directive(std::string_view line,
                                                                  std::size_t bytes_left) {
    const auto n = read_directive_number(line.substr(1));
    if (!n) {
        return fail_line("directive number out of range", line);
    }
    if (intReportKind == kKindFennick && (line.starts_with("@@") || *n > 0)) {
        if (*n == 1) {
            std::string title = upper_1252(heading_text(1));
            append_escaped_text(strStudentNumber, title);
            append_centred(title);
            return LineResult::written;
        }
        if (*n > SectionHeadingTable::kMaxHeadings) {
            return fail_line("Fennick heading number beyond the heading table", line);
        }
        out_ += html::kPageBreak;
        out_ += html::kLineEnd;
        if (line == "@@") {
            // Before the last part of the report only; "@@" at its very end gets no title.
            if (bytes_left > 1) {
                append_centred(upper_1252(heading_text(5)));
            }
        } else {
            append_centred(upper_1252(heading_text(*n)));
        }
        return LineResult::written;
    }
    if (*n != 1) {
        out_ += html::kPageBreak;
    }
    return LineResult::written;
}

void ReportDocument::append_centred(std::string_view text) {
    out_ += html::kCentredOpen;
    out_ += text;
    out_ += html::kCentredClose;
}

ReportDocument::LineResult ReportDocument::fail_line(std::string_view what, std::string_view line) {
    failure_.assign(what);
    failure_ += " (";
    failure_ += excerpt(line);
    failure_ += ')';
    return LineResult::failed;
}

}  // namespace quillet
