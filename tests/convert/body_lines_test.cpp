// Body lines: every case of tests/data/convert/body_lines.txt (its opening
// comment explains the layout) converted as a whole document.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine_test_support.h"

namespace quillet::test {
namespace {

struct BodyCase {
    std::string group{}, name{}, source{}, body{}, failure{};
    DocumentFacts facts{};
    std::string error{};  // why the data file cannot be read
};

void PrintTo(const BodyCase& c, std::ostream* os) {
    *os << c.group << '/' << c.name;
}

void expect(bool holds, const std::string& otherwise) {
    if (!holds) {
        throw std::runtime_error(otherwise);
    }
}

// A line of the data file as the bytes it stands for.
std::string unescaped(std::string_view text) {
    expect(!text.ends_with(' ') &&
               std::ranges::none_of(text, [](unsigned char c) { return c < 0x20 || c >= 0x7F; }),
           "a raw control byte, byte from 0x7F up or blank at the end");
    static const std::map<std::string_view, char> kNamed = {
        {"\\", '\\'}, {"t", '\t'}, {"r", '\r'}, {"n", '\n'}};
    std::string out;
    for (auto at = text.find('\\'); at != text.npos; at = text.find('\\')) {
        out.append(text.substr(0, at));
        const auto escape = text.substr(at + 1, text.substr(at + 1, 1) == "x" ? 3 : 1);
        unsigned byte = 0;
        if (kNamed.contains(escape)) {
            out += kNamed.at(escape);
        } else {
            const auto* const end = escape.data() + escape.size();
            expect(escape.size() == 3 && std::from_chars(end - 2, end, byte, 16).ptr == end,
                   "a bad escape");
            out += static_cast<char>(byte);
        }
        text.remove_prefix(at + 1 + escape.size());
    }
    return out.append(text);
}

// The facts named, with the student given in double quotes or else their usual one.
DocumentFacts facts_named(const std::string& kind, const std::string& quoted) {
    using Facts = DocumentFacts (*)(std::string);
    static const std::map<std::string, std::pair<Facts, DocumentFacts>> kFacts = {
        {"analysis", {analysis_facts, analysis_facts()}},
        {"dyslexia", {dyslexia_facts, dyslexia_facts()}},
        {"fennick", {fennick_facts, fennick_facts()}},
        {"unmarked", {unmarked_facts, unmarked_facts()}}};
    const auto facts = kFacts.find(kind);
    expect(facts != kFacts.end(), "unknown facts \"" + kind + "\"");
    expect(quoted.empty() || (quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"'),
           "a student not in double quotes");
    return quoted.empty() ? facts->second.second
                          : facts->second.first(unescaped(quoted.substr(1, quoted.size() - 2)));
}

std::vector<BodyCase> read_cases() {
    std::istringstream in(read_testdata("body_lines.txt"));
    std::string line;
    std::size_t number = 0;
    const auto next = [&] {
        line.clear();
        ++number;
        return static_cast<bool>(std::getline(in, line));
    };
    // The lines up to the next mark (a line that begins a group or a case or ends a part),
    // each unescaped and followed by CR LF.
    const auto text = [&] {
        std::string out;
        while (next() && !line.starts_with("---") && !line.starts_with("==") &&
               !line.starts_with("!!!") && !line.starts_with("###")) {
            out += unescaped(line) + "\r\n";
        }
        return out;
    };
    std::vector<BodyCase> cases;
    try {
        std::string group;
        std::size_t group_start = 0;
        while (next()) {
            if (line.starts_with("== ")) {
                expect(group.empty() || cases.size() > group_start,
                       "group " + group + " without cases");
                group = line.substr(3);
                group_start = cases.size();
            } else if (line.starts_with("### ") && !group.empty()) {
                BodyCase c{.group = group};
                std::istringstream header(line.substr(4));
                std::string kind, quoted;
                std::getline(header >> c.name >> kind >> std::ws, quoted);
                c.facts = facts_named(kind, quoted);
                c.source = text();
                expect(line == "---", "case " + c.name + " without its \"---\"");
                // Joined by CR LF: none after the last line.
                c.source.resize(c.source.size() - std::min(c.source.size(), std::size_t{2}));
                c.body = text();
                if (line.starts_with("!!! ")) {
                    c.failure = unescaped(line.substr(4));
                    next();
                }
                expect(line == "===", "case " + c.name + " without its \"===\"");
                cases.push_back(std::move(c));
            } else {
                expect(line.empty() || line == "#" || line.starts_with("# "), "an unexpected line");
            }
        }
        expect(cases.size() > group_start, "no cases, or a last group without cases");
    } catch (const std::exception& e) {
        const auto error = "body_lines.txt line " + std::to_string(number) + ": " + e.what();
        return {{.group = "DataFile", .name = "Malformed", .error = error}};
    }
    return cases;
}

class BodyLines : public testing::TestWithParam<BodyCase> {};

TEST_P(BodyLines, ConvertToTheExpectedDocument) {
    const auto& c = GetParam();
    ASSERT_EQ(c.error, "");
    DocumentOutcome outcome;
    EXPECT_TRUE(same_text(document(c.facts, c.body), convert(c.source, c.facts, &outcome)));
    EXPECT_EQ(outcome.line_failure, c.failure);
    EXPECT_TRUE(outcome.body_complete);
}

std::string case_name(const testing::TestParamInfo<BodyCase>& param) {
    return param.param.group + "_" + param.param.name;
}

INSTANTIATE_TEST_SUITE_P(DataFile, BodyLines, testing::ValuesIn(read_cases()), case_name);

}  // namespace
}  // namespace quillet::test
