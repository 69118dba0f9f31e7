// Body lines: every case of tests/data/convert/body_lines.txt (its opening
// comment explains the layout) converted as a whole document.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
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
    constexpr std::string_view kNamed = "\\\\t\tr\rn\n";  // pairs: escape letter, byte
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto named = kNamed.find(text.substr(at + 1, 1));
        unsigned byte = 0;
        if (text[at] != '\\') {
            out += text[at];
        } else if (at + 1 < text.size() && named % 2 == 0 && named != kNamed.npos) {
            out += kNamed[named + 1];
            at += 1;
        } else {
            const auto hex = text.substr(std::min(at + 2, text.size()), 2);
            expect(text.substr(at + 1, 1) == "x" && hex.size() == 2 &&
                       std::from_chars(hex.begin(), hex.end(), byte, 16).ptr == hex.end(),
                   "a bad escape");
            out += static_cast<char>(byte);
            at += 3;
        }
    }
    return out;
}

// The facts named, with the student given in double quotes or else their usual one.
DocumentFacts facts_named(const std::string& kind, const std::string& quoted) {
    const auto student = [&](std::string usual) {
        expect(
            quoted.empty() || (quoted.size() >= 2 && quoted.front() == '"' && quoted.back() == '"'),
            "a student not in double quotes");
        return quoted.empty() ? usual : unescaped(quoted.substr(1, quoted.size() - 2));
    };
    for (const auto& [name, facts, usual] : {std::tuple{"analysis", &analysis_facts, "12345678"},
                                             {"dyslexia", &dyslexia_facts, "87654321"},
                                             {"fennick", &fennick_facts, "jones"},
                                             {"unmarked", &unmarked_facts, "12345678"}}) {
        if (kind == name) {
            return facts(student(usual));
        }
    }
    throw std::runtime_error("unknown facts \"" + kind + "\"");
}

std::vector<BodyCase> read_cases() {
    std::istringstream in(read_testdata("body_lines.txt"));
    std::string line, group;
    std::size_t number = 0, group_start = 0;
    const auto next = [&] { return ++number, line.clear(), !!std::getline(in, line); };
    // The lines up to the next mark, each unescaped and followed by CR LF.
    const auto text = [&] {
        std::string out;
        while (next() && line != "---" && line != "===" && !line.starts_with("!!! ")) {
            out += unescaped(line) + "\r\n";
        }
        return out;
    };
    std::vector<BodyCase> cases;
    try {
        while (next()) {
            if (line.starts_with("== ")) {
                expect(cases.size() > group_start || group.empty(), "a group without cases");
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
                c.source.resize(c.source.size() - std::min<std::size_t>(c.source.size(), 2));
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

INSTANTIATE_TEST_SUITE_P(DataFile, BodyLines, testing::ValuesIn(read_cases()),
                         [](const auto& param) {
                             return param.param.group + "_" + param.param.name;
                         });

}  // namespace
}  // namespace quillet::test
