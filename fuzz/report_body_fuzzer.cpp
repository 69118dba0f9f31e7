// Feeds arbitrary report bytes to the document writer, the validity check and
// the student number search, and checks what every document must satisfy.
//
// Input: one option byte, then the report bytes.
//   bits 0-1  report kind 0..3
//   bit  2    Fennick head lines
//   bits 3-4  student number: "12345678", empty, text with markup
//             characters, or whatever the search finds in the report
//   bit  5    report name with markup characters
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

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

bool starts_with_tag(std::string_view rest) {
    for (const std::string_view tag : kTags) {
        if (rest.starts_with(tag)) {
            return true;
        }
    }
    return false;
}

// Report text never becomes markup: every "<" opens one of the program's own
// tags, and a tag ends before the next one begins. (A lone ">" in text is
// harmless; the list-item steps can leave one from a tag they cut.)
void check_markup(std::string_view html) {
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
    return 0;
}
