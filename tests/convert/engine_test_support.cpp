#include "engine_test_support.h"

#include <algorithm>
#include <cstdio>
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

std::string visible(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            shown += hex;
        } else {
            shown += c;
        }
    }
    return shown;
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
    auto failure = testing::AssertionFailure();
    failure << "texts differ at line " << line + 1 << " (expected " << want.size() << " lines, got "
            << got.size() << ")\n";
    const auto from = line >= 2 ? line - 2 : 0;
    for (auto i = from; i < line; ++i) {
        failure << "    " << visible(want[i].substr(0, 160)) << "\n";
    }
    // Long lines are shown around their first difference.
    std::size_t column = 0;
    if (line < want.size() && line < got.size()) {
        const auto& a = want[line];
        const auto& b = got[line];
        while (column < a.size() && column < b.size() && a[column] == b[column]) {
            ++column;
        }
    }
    const auto window = [column](std::string_view text) {
        constexpr std::size_t kBefore = 60;
        constexpr std::size_t kWidth = 160;
        const auto start = std::min(column > kBefore ? column - kBefore : 0, text.size());
        return (start > 0 ? "..." : "") + visible(text.substr(start, kWidth)) +
               (text.size() > start + kWidth ? "..." : "");
    };
    for (auto i = line; i < std::min(line + 3, want.size()); ++i) {
        failure << "  - " << window(want[i]) << "\n";
    }
    for (auto i = line; i < std::min(line + 3, got.size()); ++i) {
        failure << "  + " << window(got[i]) << "\n";
    }
    return failure;
}

}  // namespace quillet::test
