#include "engine_test_support.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

namespace quillet::test {
namespace {

// Splits after each LF so that every piece keeps its own line end.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size() - 1) + 1;
        result.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return result;
}

}  // namespace

DocumentFacts analysis_facts(std::string student) {
    return {kKindAnalysis, std::move(student), "Analysis", false};
}

DocumentFacts dyslexia_facts(std::string student) {
    return {kKindDyslexia, std::move(student), "Dyslexia", false};
}

DocumentFacts fennick_facts(std::string base_name) {
    return {kKindFennick, base_name, base_name, true};
}

DocumentFacts unmarked_facts(std::string student) {
    return {kKindNone, std::move(student), "~drntxyz0001", false};
}

std::string lines(std::initializer_list<std::string_view> texts) {
    std::string result;
    for (const auto text : texts) {
        result.append(text);
        result += "\r\n";
    }
    return result;
}

std::string document(const DocumentFacts& facts, std::string_view body) {
    std::string head = lines({
        "<HTML>",
        "<HEAD>",
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">",
    });
    if (facts.fennick) {
        head += lines({"<META NAME=\"Fennick Report\" CONTENT=\"Student number " +
                           facts.strStudentNumber + "\">",
                       "<TITLE>Fennick Report for " + facts.strStudentNumber + "</TITLE>"});
    } else {
        head += lines({"<META NAME=\"Orvella " + facts.report_name +
                           " Report\" CONTENT=\"Student number " + facts.strStudentNumber + "\">",
                       "<TITLE>Orvella " + facts.report_name + " Report for " +
                           facts.strStudentNumber + "</TITLE>"});
    }
    head += lines({"<STYLE>", ".pagebreak {page-break-after:always}", "</STYLE>", "</HEAD>",
                   "<BODY>", "<FONT FACE=\"Arial\" SIZE=2>", "<A NAME=\"TOP\"><!-- --></A>"});
    return head + std::string(body) + lines({"</BODY>", "</HTML>"});
}

std::string convert(std::string_view source, const DocumentFacts& facts, DocumentOutcome* outcome) {
    StringSink sink;
    const auto result = write_report_document(source, facts, standard_section_headings(), sink);
    if (outcome != nullptr) {
        *outcome = result;
    }
    return sink.text;
}

std::string_view last_lines(std::string_view text, std::size_t count) {
    const auto all = split_lines(text);
    if (count >= all.size()) {
        return text;
    }
    return text.substr(static_cast<std::size_t>(all[all.size() - count].data() - text.data()));
}

std::string read_testdata(const std::string& name) {
    std::ifstream in(std::string(QUILLET_TESTDATA_DIR) + "/convert/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

testing::AssertionResult same_text(std::string_view expected, std::string_view actual) {
    if (expected == actual) {
        return testing::AssertionSuccess();
    }
    const auto want = split_lines(expected);
    const auto got = split_lines(actual);
    std::size_t line = 0;
    while (line < want.size() && line < got.size() && want[line] == got[line]) {
        ++line;
    }
    // The first differing line of each, around its first differing byte.
    const auto shown = [line](const std::vector<std::string_view>& text, std::string_view other) {
        if (line >= text.size()) {
            return std::string("(no line)");
        }
        const auto a = text[line];
        const auto column =
            std::mismatch(a.begin(), a.end(), other.begin(), other.end()).first - a.begin();
        return testing::PrintToString(std::string(a.substr(column > 60 ? column - 60 : 0, 160)));
    };
    return testing::AssertionFailure()
           << "texts differ at line " << line + 1 << "\n  expected "
           << shown(want, line < got.size() ? got[line] : "") << "\n  actual   "
           << shown(got, line < want.size() ? want[line] : "");
}

}  // namespace quillet::test
