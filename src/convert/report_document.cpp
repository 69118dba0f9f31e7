#include "report_document.h"

#include <algorithm>

#include "html_pieces.h"
#include "markup_escape.h"
#include "text_case.h"

namespace quillet {
namespace {

std::string escaped_copy(std::string_view text) {
    std::string result;
    append_escaped_text(text, result);
    return result;
}

// True when c stands in a tag that wraps a text line or that a style code writes.
bool in_text_line_tags(char c) {
    constexpr std::string_view kTags[] = {
        html::kParagraph,  html::kParagraphCentred, html::kPre,
        html::kPreCentred, html::kFontArial2,       html::kFontArial3,
        html::kFontArial5, html::kFontCourier3,     "</PRE></P><B></B><I></I><U></U>",
    };
    return std::ranges::any_of(
        kTags, [c](std::string_view tag) { return tag.find(c) != std::string_view::npos; });
}

}  // namespace

ReportDocument::ReportDocument(const DocumentFacts& facts, const SectionHeadingTable& headings,
                               HtmlSink& sink, std::size_t line_piece)
    : intReportKind(facts.intReportKind),
      strStudentNumber(facts.strStudentNumber),
      report_name_(facts.report_name),
      fennick_head_(facts.fennick),
      headings_(headings),
      sink_(sink),
      line_piece_(std::max(line_piece, kSmallestLinePiece)),
      strParagraphTag(html::kParagraph),
      strFontTag(html::kFontArial2),
      student_in_body_(escaped_copy(facts.strStudentNumber)) {
    out_.reserve(kChunk * 2);
    // (A tilde is told from the codes' own only by the search for codes.)
    if (const auto& needle = student_in_body_.needle();
        !needle.empty() && needle[0] != '~' && !in_text_line_tags(needle[0])) {
        student_lead_ = needle[0];
    }
    // The table starts out holding the code of eight zero bytes in every place.
    const KnownCode zeros{0, style_code_effect(std::string_view("\0\0\0\0\0\0\0\0", 8))};
    for (auto& pair : known_codes_) {
        pair.codes.fill(zeros);
    }
    if (intReportKind != kKindFennick) {
        const int count = heading_count();
        boolHeadingAnchored.assign(static_cast<std::size_t>(count) + 1, false);
        lowered_headings_.reserve(static_cast<std::size_t>(count) + 1);
        lowered_headings_.emplace_back();
        for (int n = 1; n <= count; ++n) {
            lowered_headings_.push_back(lower_1252(heading_text(n)));
            const auto length = lowered_headings_.back().size();
            unanchored_by_length_.resize(std::max(unanchored_by_length_.size(), length + 1));
            headings_by_length_.resize(unanchored_by_length_.size());
            ++unanchored_by_length_[length];
            headings_by_length_[length].push_back(static_cast<std::size_t>(n));
        }
    }
}

DocumentOutcome ReportDocument::write(std::string_view source) {
    DocumentOutcome outcome;
    pr_Write_HTML_Header();
    source_ = source;
    outcome.body_complete = fn_WriteReportBody(source);
    if (!failure_.empty()) {
        outcome.line_failure = failure_;
    }
    pr_Write_HTML_Footer();
    if (!out_.empty()) {
        sink_.write(out_);
        out_.clear();
    }
    return outcome;
}

// Hands on the part of a long line written so far, once it is a chunk. The
// part is searched for the student number first; its last bytes stay, since
// the number may begin in them.
void ReportDocument::flush_line_part() {
    if (out_.size() < std::min(kChunk, line_piece_)) {
        return;
    }
    const std::size_t needle = student_in_body_.needle().size();
    const bool search = intReportKind != kKindFennick && needle > 0;
    if (search && !line_names_student_) {
        line_names_student_ = student_in_body_.found_in(std::string_view(out_).substr(line_start_));
    }
    const std::size_t keep = search ? std::min(needle - 1, out_.size() - line_start_) : 0;
    sink_.write(std::string_view(out_).substr(0, out_.size() - keep));
    out_.erase_front(out_.size() - keep);
    line_start_ = 0;
}

int ReportDocument::heading_count() const {
    // Kind 0 (an Orvella report with neither marker) and unknown kinds have no outline.
    if (intReportKind <= kKindNone || intReportKind >= SectionHeadingTable::kKinds) {
        return 0;
    }
    const int count = headings_.intSectionHeadingCount[static_cast<std::size_t>(intReportKind)];
    return std::clamp(count, 0, SectionHeadingTable::kMaxHeadings);
}

const std::string& ReportDocument::heading_text(int number) const {
    return headings_.strSectionHeading[static_cast<std::size_t>(intReportKind)]
                                      [static_cast<std::size_t>(number)][0];
}

DocumentOutcome write_report_document(std::string_view source, const DocumentFacts& facts,
                                      const SectionHeadingTable& headings, HtmlSink& sink) {
    ReportDocument document(facts, headings, sink);
    return document.write(source);
}

DocumentOutcome write_report_document_in_pieces(std::string_view source, const DocumentFacts& facts,
                                                const SectionHeadingTable& headings, HtmlSink& sink,
                                                std::size_t line_piece) {
    ReportDocument document(facts, headings, sink, line_piece);
    return document.write(source);
}

}  // namespace quillet
