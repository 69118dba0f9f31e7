// Whole documents: head, body, tables of contents and closing lines.
#include <gtest/gtest.h>

#include "engine_test_support.h"

namespace quillet::test {
namespace {

TEST(Document, WorkedAnalysisExample) {
    const std::string source =
        "@\r\n"
        "~biuC18~\r\n"
        "Orvella Analysis Report for student 12345678\r\n"
        "~biuL12~\r\n"
        "\r\n"
        "Some ~BiuL12~bold~biuL12~ words.\r\n"
        "\tVerbal Reasoning\t\t12\r\n"
        "Analysis of Cognitive Tests\r\n"
        "~LINE~\r\n";
    DocumentOutcome outcome;
    EXPECT_TRUE(same_text(read_testdata("analysis_worked_example.htm"),
                          convert(source, analysis_facts(), &outcome)));
    EXPECT_TRUE(outcome.body_complete);
    EXPECT_EQ(outcome.line_failure, "");
}

TEST(Document, DyslexiaAnchorsScoreKeyAndRepeatedContents) {
    const std::string source =
        "@1\r\n"
        "~biuC18~\r\n"
        "Orvella Dyslexia Report for student 87654321\r\n"
        "~biuL12~\r\n"
        "Scope of the Orvella Dyslexia Report\r\n"
        "Assessment Table of Orvella Test Results\r\n"
        "ASSESSMENT TABLE OF ORVELLA TEST RESULTS \r\n"
        "Key to scoring system\r\n"
        "  SCALED SCORES      DESCRIPTOR       PERCENTILE RANKING\r\n"
        "    16 - 20            Strong              98% - 100%\r\n"
        "    13 - 15            Above Average       84% - 95%\r\n"
        "~biuL12~\r\n"
        "Diagnosis follows.\r\n"
        "Tutor's Verification of Test Results\r\n"
        "~biuL10~\r\n"
        "Student 87654321 again\r\n"
        "Plain again.\r\n"
        "@@";
    EXPECT_TRUE(
        same_text(read_testdata("dyslexia_document.htm"), convert(source, dyslexia_facts())));
}

TEST(Document, HeadTextIsEscapedAndFollowsTheFamilyWhileTheBodyFollowsTheKind) {
    // Quotes are escaped inside attribute values only; "&" never.
    const DocumentFacts orvella{kKindAnalysis, "1<2\"&", "A\"<b>", false};
    const std::string expected_orvella =
        "<META NAME=\"Orvella A&quot;&lt;b&gt; Report\" CONTENT=\"Student number "
        "1&lt;2&quot;&\">\r\n"
        "<TITLE>Orvella A\"&lt;b&gt; Report for 1&lt;2\"&</TITLE>\r\n";
    EXPECT_NE(convert("", orvella).find(expected_orvella), std::string::npos);

    const DocumentFacts fennick{kKindFennick, "o\"<x>", "O\"<x>", true};
    const std::string expected_fennick =
        "<META NAME=\"Fennick Report\" CONTENT=\"Student number o&quot;&lt;x&gt;\">\r\n"
        "<TITLE>Fennick Report for o\"&lt;x&gt;</TITLE>\r\n";
    const auto text = convert("@1", fennick);
    EXPECT_NE(text.find(expected_fennick), std::string::npos);
    EXPECT_NE(text.find("<B>FENNICK REPORT FOR o\"&lt;x&gt;</B>"), std::string::npos);

    // A Fennick head over an Orvella body, and the other way round.
    DocumentFacts fennick_head = analysis_facts();
    fennick_head.fennick = true;
    EXPECT_TRUE(
        same_text(document(fennick_head, lines({kPageBreak})), convert("@3\r\n", fennick_head)));

    DocumentFacts orvella_head = fennick_facts();
    orvella_head.fennick = false;
    EXPECT_TRUE(
        same_text(document(orvella_head,
                           lines({kPageBreak + "\r\n<P ALIGN=\"CENTER\"><B>INDICATIONS OF SPECIFIC "
                                               "LEARNING DIFFICULTIES</B></P>"})),
                  convert("@4\r\n", orvella_head)));
}

TEST(Document, ContentsTriggerLooksForTheNumberAsWritten) {
    // A number with "<" is found escaped.
    EXPECT_TRUE(same_text(lines({"<A NAME=\"TOP\"><!-- --></A>", "<P>" + kFont2 + "see a&lt;b</P>",
                                 "<P>" + kFont2 + "Table of Contents</P>", "</BODY>", "</HTML>"}),
                          last_lines(convert("see a<b", unmarked_facts("a<b")), 5)));
}

}  // namespace
}  // namespace quillet::test
