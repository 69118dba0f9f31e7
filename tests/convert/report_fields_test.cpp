// The validity check, the student number search and directive numbers.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "directive_number.h"
#include "report_engine.h"

namespace quillet {
namespace {

TEST(IsReport, FirstFieldMustBeginWithAt) {
    const struct {
        std::string source;
        bool report;
    } cases[] = {
        {"", false},           {"@", true},      {"@x,y\r\nmore", true},
        {"  @x", true},                           // leading blanks are skipped
        {"\"@quoted\"", true}, {"\r\n@", false},  // a blank first line
        {"\n@", false},        {",@", false},    {"x@", false},
        {"\t@", false},        {" ", false},     {"\"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fn_IsReport(c.source), c.report) << c.source;
    }
}

TEST(StudentNumber, SearchesFieldByField) {
    const struct {
        std::string source;
        std::optional<std::string> number;
    } cases[] = {
        {"@\r\nOrvella Analysis Report for Student 1234567890\r\n", "12345678"},
        {"x,Report FOR STUDENT ABCDEFGH more", "abcdefgh"},
        {"for student 123", "123"},
        {"for student 12,345678", "12"},  // the field ends at the comma
        {"\"for student 1,2\"", "1,2"},   // a quoted field holds commas
        {"\"a\"for student 77", "77"},    // text after a closing quote is kept
        {"a\rfor student 87654321\r", "87654321"},
        {"for student 12\r34", "12"},  // a lone CR ends the field
        {"for student 11111111\r\nfor student 22222222", "11111111"},
        {"for student \xC9\xC0\x8A", "\xE9\xE0\x9A"},  // lower-cased in the code page
        {"for student \n12345678", std::string{}},
        {"for student\n12345678", std::nullopt},
        {"", std::nullopt},
        {"\"for student 9", "9"},  // an unclosed quote runs to the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find_student_number(c.source), c.number) << c.source;
    }
}

TEST(DirectiveNumber, ReadsLikeADecimalNumber) {
    const struct {
        std::string text;
        std::optional<std::int16_t> value;
    } cases[] = {
        {"", 0},
        {"3", 3},
        {"@", 0},
        {" 1 2", 12},
        {"\t\n 4", 4},
        {"4\r5", 4},  // CR is not skipped
        {"-5", -5},
        {"--5", 0},
        {"12abc", 12},
        {"2.5", 2},
        {"3.5", 4},
        {"2.51", 3},
        {"-2.5", -2},
        {"0.5", 0},
        {".51", 1},
        {"0.5000001", 1},
        {"1e2", 100},
        {"1.5e1", 15},
        {"25e-1", 2},
        {"5e", 5},
        {"0.0001e4", 1},
        {"e5", 0},
        {"32767", 32767},
        {"-32768", -32768},
        {"-32768.5", -32768},
        {"32768", std::nullopt},
        {"-32769", std::nullopt},
        {"32767.5", std::nullopt},
        {"1e5", std::nullopt},
        {"1e400", std::nullopt},
        {"1e99999999999999999999999", std::nullopt},
        {std::string(1'000'000, '9'), std::nullopt},
        {"0." + std::string(1'000'000, '0') + "1", 0},
        {"1" + std::string(1'000'000, '0') + "e-1000000", 1},
        {"0." + std::string(1'000'000, '0') + "5e1000000", 0},
        {"0." + std::string(1'000'000, '0') + "51e1000000", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_directive_number(c.text), c.value) << c.text.substr(0, 40);
    }
}

}  // namespace
}  // namespace quillet
