#include "section_headings.h"

#include <initializer_list>
#include <string_view>
#include <utility>

namespace quillet {
namespace {

using Heading = std::pair<std::string_view, std::string_view>;  // text, level digit

constexpr Heading kFennick[] = {
    {"Fennick Report for ", "1"},
    {"Diagnosis of learning style", "1"},
    {"Assessment of the need for supplementary study support", "1"},
    {"Indications of specific learning difficulties", "1"},
    {"Supplementary Fennick Report Student Information", "1"},
};

constexpr Heading kAnalysis[] = {
    {"Orvella Analysis Report", "1"},
    {"Orvella Student Profile Sheet", "1"},
    {"Background - Summary of Fennick Questionnaire", "1"},
    {"Orvella Analysis Report", "1"},
    {"Analysis of Cognitive Tests", "2"},
    {"Non-Verbal Reasoning", "3"},
    {"Verbal Reasoning", "3"},
    {"Vocabulary", "3"},
    {"Analysis of Short-Term Memory & Coding Tests", "2"},
    {"Digit Span (Auditory)", "3"},
    {"Digit Span (Visual)", "3"},
    {"Snowflakes (Abstract Forms/Visual)", "3"},
    {"Coding (Symbols & Number Co-ordination)", "3"},
    {"Analysis of Speed of Processing Tests", "2"},
    {"Speed of reading", "3"},
    {"Speed of writing", "3"},
    {"Speed of copying", "3"},
    {"Analysis of Literary Attainment Skills", "2"},
    {"Audio Spelling", "3"},
    {"Spelling Recognition", "3"},
    {"Punctuation", "3"},
    {"Comprehension (Silent/Timed)", "3"},
    {"Comprehension (Audio/Untimed)", "3"},
    {"Analysis of Numeracy Tests", "2"},
    {"Numerical Calculations", "3"},
    {"Application of Maths", "3"},
    {"Analysis Summary", "2"},
    {"Mean Attainment Level", "3"},
    {"Attainment Levels in the Individual Tests", "3"},
    {"Attainment Levels in Related Groups of Tests", "3"},
    {"Attainment Levels as an Overall Pattern of Test Results", "3"},
    {"Diagnosis of Specific Learning Difficulties", "1"},
    {"Appendix", "1"},
    {"Key to scoring system", "2"},
    {"Description of the Cognitive Skills Subtests", "2"},
    {"Description of the Memory & Coding Tests", "2"},
    {"Description of the Proficiency Tests", "2"},
    {"Description of the Literary Attainment Subtests", "2"},
    {"Description of the Numeracy Attainment Tests", "2"},
};

constexpr Heading kDyslexia[] = {
    {"Scope of the Orvella Dyslexia Report", "1"},
    {"Orvella Student Profile Sheet", "1"},
    {"Background - Summary of Fennick Questionnaire", "1"},
    {"Orvella Assessment Report", "1"},
    {"Assessment of Underlying Ability", "2"},
    {"Cognitive Tests", "3"},
    {"Short-Term Memory and Coding Tests", "3"},
    {"Proficiency Tests", "3"},
    {"Assessment of Educational Attainment", "2"},
    {"Free Writing Test", "3"},
    {"Literary Attainment Tests", "3"},
    {"Numeracy Attainment Tests", "3"},
    {"Assessment Table of Orvella Test Results ", "2"},  // the trailing blank belongs to it
    {"Assessment Graph of Orvella Test Results", "2"},
    {"Summary of Assessment and Diagnostic Comments", "2"},
    {"Diagnosis of Specific Learning Difficulties", "2"},
    {"Tutor's Verification of Test Results", "2"},
    {"Appendix", "1"},
    {"Key to scoring system", "2"},
    {"Description of the Cognitive Skills Subtests", "2"},
    {"Description of the Memory & Coding Tests", "2"},
    {"Description of the Proficiency Tests", "2"},
    {"Description of the Literary Attainment Subtests", "2"},
    {"Description of the Numeracy Attainment Tests", "2"},
};

template <std::size_t N>
void fill_kind(SectionHeadingTable& table, std::int16_t kind, const Heading (&headings)[N]) {
    static_assert(N <= SectionHeadingTable::kMaxHeadings);
    auto& rows = table.strSectionHeading[static_cast<std::size_t>(kind)];
    for (std::size_t n = 0; n < N; ++n) {
        rows[n + 1][0] = headings[n].first;
        rows[n + 1][1] = headings[n].second;
    }
    table.intSectionHeadingCount[static_cast<std::size_t>(kind)] = static_cast<std::int16_t>(N);
}

}  // namespace

void pr_Init_Section_Headings(SectionHeadingTable& table) {
    table = SectionHeadingTable{};
    fill_kind(table, 1, kFennick);
    fill_kind(table, 2, kAnalysis);
    fill_kind(table, 3, kDyslexia);
}

const SectionHeadingTable& standard_section_headings() {
    static const SectionHeadingTable table = [] {
        SectionHeadingTable filled;
        pr_Init_Section_Headings(filled);
        return filled;
    }();
    return table;
}

}  // namespace quillet
