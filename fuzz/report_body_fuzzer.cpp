// Feeds arbitrary report bytes to the document writer, the validity check and
// the student number search, and checks what every document must satisfy.
//
// Input: one option byte, then the report bytes.
//   bits 0-1  report kind 0..3
//   bit  2    Fennick head lines
//   bits 3-4  student number: "12345678", empty, text with markup
//             characters, or whatever the search finds in the report
//   bit  5    report name with markup characters
//   bits 6-7  the size of the pieces a second conversion cuts text lines
//             into (8, 9, 16 or 61 bytes); both documents must be the same
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "report_document.h"
#include "report_engine.h"
#include "substring_finder.h"
#include "text_case.h"

namespace {

using namespace quillet;

[[noreturn]] void fail(const char* what, std::string_view context = {}) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    if (!context.empty()) {
        const std::size_t shown = context.size() < 400 ? context.size() : 400;
        std::fprintf(stderr, "near: %.*s\n", static_cast<int>(shown), context.data());
    }
    std::abort();
}

// What may follow "<" in a document: the program's own tags only.
constexpr std::string_view kTags[] = {
    "HTML>",        "/HTML>",
    "HEAD>",        "/HEAD>",
    "META ",        "TITLE>",
    "/TITLE>",      "STYLE>",
    "/STYLE>",      "BODY>",
    "/BODY>",       "FONT FACE=",
    "Font FACE = ", "A NAME=",
    "A HREF=",      "/A>",
    "!-- -->",      "P>",
    "P ALIGN=",     "/P>",
    "PRE>",         "PRE ALIGN=",
    "/PRE>",        "B>",
    "/B>",          "I>",
    "/I>",          "U>",
    "/U>",          "HR>",
    "H1 class=",    "/H1>",
    "br clear=all", "TABLE CELLSPACING=",
    "/TABLE>",      "TR>",
    "/TR>",         "TD WIDTH=",
    "/TD>",         "LI>",
    "/LI>",
};

// The checks below are the harness's own: left out of the coverage the
// fuzzer steers by, and comparing without memcmp, whose every call the fuzzer
// would otherwise trace.
#define QUILLET_NOT_STEERING __attribute__((no_sanitize("coverage")))

QUILLET_NOT_STEERING bool starts_with_tag(std::string_view rest) {
    // The tags by their first character.
    static const auto by_first = [] {
        std::array<std::vector<std::string_view>, 256> table;
        for (const std::string_view tag : kTags) {
            table[static_cast<unsigned char>(tag[0])].push_back(tag);
        }
        return table;
    }();
    if (rest.empty()) {
        return false;
    }
    for (const std::string_view tag : by_first[static_cast<unsigned char>(rest[0])]) {
        if (rest.size() < tag.size()) {
            continue;
        }
        std::size_t i = 1;
        while (i < tag.size() && rest[i] == tag[i]) {
            ++i;
        }
        if (i == tag.size()) {
            return true;
        }
    }
    return false;
}

// Report text never becomes markup: every "<" opens one of the program's own
// tags, and a tag ends before the next one begins. (A lone ">" in text is
// harmless; the list-item steps can leave one from a tag they cut.)
QUILLET_NOT_STEERING void check_markup(std::string_view html) {
    bool in_tag = false;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            if (in_tag || !starts_with_tag(html.substr(i + 1))) {
                fail("unexpected '<'", html.substr(i));
            }
            in_tag = true;
        } else if (html[i] == '>') {
            in_tag = false;
        }
    }
    if (in_tag) {
        fail("unclosed tag at the end");
    }
}

void check_student_number(std::string_view source, const std::optional<std::string>& number) {
    if (!number) {
        return;
    }
    if (number->size() > 8) {
        fail("student number longer than 8 characters", *number);
    }
    if (lower_1252(std::string_view(*number)) != *number) {
        fail("student number not lower-cased", *number);
    }
    // The number is cut from one field, so the report holds it right after
    // the words that announce it.
    const SubstringFinder announced("for student " + *number);
    if (!announced.found_in(lower_1252(source))) {
        fail("student number not found after \"for student \"", *number);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const unsigned options = data[0];
    const std::string_view source(reinterpret_cast<const char*>(data + 1), size - 1);

    const bool is_report = fn_IsReport(source);
    if (source.empty() && is_report) {
        fail("an empty source counts as a report");
    }
    const std::optional<std::string> found = find_student_number(source);
    check_student_number(source, found);

    DocumentFacts facts;
    facts.intReportKind = static_cast<std::int16_t>(options & 3U);
    facts.fennick = (options & 4U) != 0;
    switch ((options >> 3) & 3U) {
        case 0:
            facts.strStudentNumber = "12345678";
            break;
        case 1:
            break;
        case 2:
            facts.strStudentNumber = "<b>&\"x";
            break;
        default:
            facts.strStudentNumber = found.value_or(std::string());
            break;
    }
    if ((options & 32U) != 0) {
        facts.report_name = "<i>\"x&";
    } else if (facts.intReportKind == kKindAnalysis) {
        facts.report_name = "Analysis";
    } else if (facts.intReportKind == kKindDyslexia) {
        facts.report_name = "Dyslexia";
    } else {
        facts.report_name = "Smith7";
    }

    StringSink sink;
    const DocumentOutcome outcome =
        write_report_document(source, facts, standard_section_headings(), sink);
    const std::string_view html = sink.text;
    if (!outcome.body_complete) {
        fail("body ended early on bytes held in memory");
    }
    if (!html.starts_with("<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\"")) {
        fail("document does not open with its head", html);
    }
    if (!html.ends_with("</BODY>\r\n</HTML>\r\n")) {
        fail("document does not end with its closing lines",
             html.substr(html.size() >= 200 ? html.size() - 200 : 0));
    }
    check_markup(html);

    constexpr std::size_t kPieces[] = {8, 9, 16, 61};
    StringSink pieces;
    const DocumentOutcome in_pieces = write_report_document_in_pieces(
        source, facts, standard_section_headings(), pieces, kPieces[(options >> 6) & 3U]);
    if (pieces.text != sink.text || in_pieces.line_failure != outcome.line_failure) {
        std::size_t at = 0;
        while (at < html.size() && at < pieces.text.size() && html[at] == pieces.text[at]) {
            ++at;
        }
        fail("a line cut into pieces converts differently", html.substr(at));
    }
    return 0;
}
