// Body lines: directives, style codes, wrapping, tables, tab stops, blanks,
// list items, section anchors, the score key, line ends, failing lines and
// bytes of every kind, each case a whole document.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine_test_support.h"

namespace quillet::test {
namespace {

struct BodyCase {
    BodyCase(std::string n, std::string s, std::string b, DocumentFacts f = analysis_facts(),
             std::string fail = {})
        : name(std::move(n)),
          source(std::move(s)),
          body(std::move(b)),
          facts(std::move(f)),
          failure(std::move(fail)) {}
    std::string name;
    std::string source;
    std::string body;
    DocumentFacts facts;
    std::string failure;  // the line failure the document reports
};

std::string para(std::string_view text) {
    return "<P>" + kFont2 + std::string(text) + "</P>";
}

std::string anchor(int number, std::string_view text) {
    return para("<A NAME=\"SEC" + std::to_string(number) + "\" HREF = \"#TOP\">" +
                std::string(text) + "</A>");
}

std::string nbsp(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "&nbsp;";
    }
    return text;
}

void PrintTo(const BodyCase& c, std::ostream* os) {
    *os << c.name;
}

class BodyLines : public testing::TestWithParam<BodyCase> {};

TEST_P(BodyLines, ConvertToTheExpectedDocument) {
    const auto& c = GetParam();
    DocumentOutcome outcome;
    EXPECT_TRUE(same_text(document(c.facts, c.body), convert(c.source, c.facts, &outcome)));
    EXPECT_EQ(outcome.line_failure, c.failure);
    EXPECT_TRUE(outcome.body_complete);
}

const std::string kTableOpen = "<TABLE CELLSPACING=1 CELLPADDING=0>";

std::string row(std::string_view label, std::initializer_list<std::string_view> values) {
    std::string text = "<TR><TD WIDTH=150><P>" + std::string(label) + "</P></TD>";
    for (const auto value : values) {
        text += "<TD WIDTH=500><P>" + std::string(value) + "</P></TD>";
    }
    return text + "</TR>";
}

const std::vector<BodyCase> kDirectives = {
    {"PageBreak", "@", lines({kPageBreak})},
    {"DirectiveOneIsAnEmptyLine", "@1", lines({""})},
    {"DoubleAtIsAPageBreak", "@@", lines({kPageBreak})},
    {"DirectiveNumberSkipsBlanks", "@ 1\r\n@1.4\r\n@0.5", lines({"", "", kPageBreak})},
    {"BigDirectiveNumberInOrvellaIsAPageBreak", "@51", lines({kPageBreak})},
    {"DroppedLine", "_5 internal note\r\n_1", ""},
    {"UnderscoreWithoutNumberIsText", "_\r\n_0 text\r\n_-2",
     lines({para("_"), para("_0 text"), para("_-2")})},
    {"RuleInAnyCase", "~LINE~\r\n~line~\r\n~LiNe~", lines({"<HR>", "<HR>", "<HR>"})},
    {"RuleWithTrailingBlankOpensItalic", "~LINE~ \r\nnext",
     lines({"<P>" + kFont2 + "<I> </P>", "<P>" + kFont2 + "<I>next</I></P>"})},
    {"EmptyLinesWriteNothing", "\r\n\r\n\n\r\n", ""},
    {"StyleLineTextBehindTheCodeIsNotWritten", "~BiuL12~ words\r\nx",
     lines({"<B>", "<P>" + kFont2 + "<B>x</B></P>"})},
};

const std::vector<BodyCase> kStyleCodes = {
    {"BoldOpenedTwiceReturnsNothingTheSecondTime", "~BiuL12~\r\n~BiuL12~", lines({"<B>", ""})},
    {"AllSpansCentredLargeFont", "~BIUC25~\r\nx",
     lines({"<B><I><U>", "<P ALIGN=\"CENTER\">" + kFont5 + "<U><I><B>x</B></I></U></P>"})},
    {"VteClosesWhatIsOpen", "~BiUL12~\r\na~VTE~b\r\nc",
     lines({"<B><U>", "<P>" + kFont2 + "<U><B>a</B></U>b</B></U></P>", para("c")})},
    {"VteAloneOnALineIsText", "~BiuL12~\r\n~VTE~",
     lines({"<B>", "<P>" + kFont2 + "<B></B></B></P>"})},
    {"VtVanishes", "a~VT~b~vt~c", lines({para("abc")})},
    {"CodeInsideLineChangesSpansAtItsPlace", "~BiuL12~\r\none~biuL12~two",
     lines({"<B>", "<P>" + kFont2 + "<B>one</B>two</B></P>"})},
    {"FontChangeAppliesFromTheNextLine", "a~biuC18~b\r\nc",
     lines({para("ab"), "<P ALIGN=\"CENTER\">" + kFont3 + "c</P>"})},
    {"PreformattedBlock", "~biuL10~\r\na\r\nb\r\n~biuL12~\r\nc",
     lines({"", "<PRE>" + kCourier + "a", "b", "", "</PRE>" + para("c")})},
    {"ShortCodeIsAFontCodeWithoutAlignment", "~B~\r\nx",
     lines({"<B>", "<P>" + kCourier + "<B>x</B>"})},
    {"SmallAlignmentLetterKeepsTheParagraph", "~biuC18~\r\n~biul12~\r\nx",
     lines({"", "", "<P ALIGN=\"CENTER\">" + kFont2 + "x</P>"})},
    {"CentredPreformatted", "~biuC10~\r\nx",
     lines({"", "<PRE ALIGN=\"CENTER\">" + kCourier + "x"})},
    {"OnlyTheFirstLetterOfEachKindCounts", "z~xBb~x~xbB~y", lines({para("z<B>x</B>y")})},
    {"AlignmentLetterOfAStyleCodeInTheTextCountsNot", "a~iBuC18~b\r\nc",
     lines({para("a<B>b"), "<P>" + kFont2 + "<B>c</B></P>"})},
    {"LoneTildeStaysText", "a~b\r\nprice ~ 5", lines({para("a~b"), para("price ~ 5")})},
    {"TildeAfterTheLastCodeStaysText", "~a~b~c\r\n~~~~~", lines({para("b~c"), para("~")})},
    {"LoneTildeAtTheFirstPositionStaysText", "~biuL10~\r\nx\r\n~tail",
     lines({"", "<PRE>" + kCourier + "x", "~tail"})},
};

const std::vector<BodyCase> kTables = {
    {"LabelAndValue", "\tVerbal Reasoning\t12\r\n",
     lines({kTableOpen, row("Verbal Reasoning", {"12"})})},
    {"RunOfTabs", "Speed\t\t\tFast", lines({kTableOpen, row("Speed", {"Fast"})})},
    {"SeveralValues", "L\t\tV\t\tW", lines({kTableOpen, row("L", {"V", "W"})})},
    {"SingleTabsLoseNoText", "A\tB\tC\tD", lines({kTableOpen, row("A", {"B", "C", "D"})})},
    {"TabsOnly", "\t\t\t", lines({kTableOpen, "<TR><TD WIDTH=150><P></P></TD></TR>"})},
    {"TrailingTabs", "x\t\t", lines({kTableOpen, row("x", {})})},
    {"CodesStayLiteralAndMarkupIsEscaped", "a<b~BiuL12~\t\tc>d",
     lines({kTableOpen, row("a&lt;b~BiuL12~", {"c&gt;d"})})},
    {"TableSpansEmptyLinesAndPageBreaks", "a\t\tb\r\n\r\n@\r\nc\t\td\r\ntext",
     lines({kTableOpen, row("a", {"b"}), kPageBreak, row("c", {"d"}), "</TABLE>", para("text")})},
    {"TableOpenAtTheEndStaysOpen", "a\t\tb", lines({kTableOpen, row("a", {"b"})})},
    {"OneTabIsATabStop", "ab\tc\r\n\tx\r\nabcdefgh\tx",
     lines({para("ab" + nbsp(6) + "c"), para(nbsp(8) + "x"), para("abcdefgh" + nbsp(8) + "x")})},
};

const std::vector<BodyCase> kBlanksAndLists = {
    {"LeadingBlanks", "   x", lines({para(nbsp(3) + "x")})},
    {"PairsOfBlanks", "a   b\r\na    b",
     lines({para("a" + nbsp(2) + " b"), para("a" + nbsp(4) + "b")})},
    {"PairsAcrossEightByteBoundaries", "abcdefg  h\r\nabcdefghijklmnop  \r\nabcdefghijklmno\t\tp",
     lines({para("abcdefg" + nbsp(2) + "h"), para("abcdefghijklmnop" + nbsp(2)), kTableOpen,
            row("abcdefghijklmno", {"p"})})},
    {"BlanksOnly", "   \r\n ", lines({para(nbsp(2) + " "), para(" ")})},
    {"ListItemLine", "~V~- first point\r\n~V~",
     lines({para("<LI>first point</LI>"), para("<LI></LI>")})},
    {"ListItemAfterLineBreak", "Note:\r- one\r\na\r- b\r- c",
     lines({para("Note:\r<LI>one</LI>"), para("a\r<LI>b\r- c</LI>")})},
    {"ListItemNeedsASingleBlank", "a\r-  b", lines({para("a\r-" + nbsp(2) + "b")})},
};

const std::vector<BodyCase> kAnchors = {
    {"RepeatedHeadingTakesTheNextNumber",
     "Orvella Analysis Report\r\nORVELLA ANALYSIS REPORT\r\norvella analysis report",
     lines({anchor(1, "ORVELLA ANALYSIS REPORT"), anchor(4, "ORVELLA ANALYSIS REPORT"),
            para("orvella analysis report")})},
    {"ChangedBlanksDoNotMatch", " Orvella Analysis Report\r\nOrvella  Analysis Report",
     lines({para(nbsp(1) + "Orvella Analysis Report"),
            para("Orvella" + nbsp(2) + "Analysis Report")})},
    {"TwoDigitNumbersAndBareAmpersands",
     "Digit Span (Auditory)\r\nAnalysis of Short-Term Memory & Coding Tests",
     lines({anchor(10, "DIGIT SPAN (AUDITORY)"),
            anchor(9, "ANALYSIS OF SHORT-TERM MEMORY & CODING TESTS")})},
    {"AnchorTakesTheCurrentStyle", "~BiuC18~\r\nAppendix",
     lines({"<B>", "<P ALIGN=\"CENTER\">" + kFont3 +
                       "<B><A NAME=\"SEC33\" HREF = \"#TOP\">APPENDIX</A></B></P>"})},
    {"DyslexiaHeadingNeedsItsTrailingBlank",
     "Assessment Table of Orvella Test Results\r\nAssessment Table of Orvella Test Results ",
     lines({para("Assessment Table of Orvella Test Results"),
            anchor(13, "ASSESSMENT TABLE OF ORVELLA TEST RESULTS ")}),
     dyslexia_facts()},
    {"NoAnchorsInFennickReports", "Appendix", lines({para("Appendix")}), fennick_facts()},
    {"NoAnchorsWithoutAKind", "Appendix", lines({para("Appendix")}), unmarked_facts()},
};

const std::vector<BodyCase> kScoreKey = {
    {"HeadingWithOtherTextIsReplaced",
     "Key:  SCALED SCORES      DESCRIPTOR       PERCENTILE RANKING (see below)",
     lines({"<PRE>" + kCourier + nbsp(2) + "SCALED SCORES" + nbsp(4) + " DESCRIPTOR" + nbsp(8) +
            "PERCENTILE RANKING"})},
    {"RowAloneSwitchesToFixedPitch", "     1 -  5            Weak                 0% -  5%\r\nx",
     lines({"<PRE>" + kCourier + nbsp(5) + "1 -" + nbsp(2) + "5" + nbsp(12) + "Weak" + nbsp(16) +
                " 0% -" + nbsp(2) + "5%",
            "x"})},
    {"FixedPitchLastsUntilAFontCode",
     "     6 -  7            Below Average        9% - 16%\r\n~biuL12~\r\nx",
     lines({"<PRE>" + kCourier + nbsp(5) + "6 -" + nbsp(2) + "7" + nbsp(12) + "Below Average" +
                nbsp(8) + "9% - 16%",
            "", "</PRE>" + para("x")})},
    {"AlmostARowIsText", "    16 - 20           Strong              98% - 100%",
     lines({para(nbsp(4) + "16 - 20" + nbsp(10) + " Strong" + nbsp(14) + "98% - 100%")})},
};

// Whole documents of other kinds: empty, no kind (a title, contents but no
// anchors), contents after every line naming the student, and none after an
// empty number or in a Fennick document.
const std::vector<BodyCase> kKinds = {
    {"EmptyAnalysis", "", ""},
    {"EmptyFennick", "", "", fennick_facts("Smith7")},
    {"EmptyUnmarked", "", "", unmarked_facts("")},
    {"UnmarkedKindHasTitleOnlyContentsAndNoAnchors",
     "Orvella Analysis Report\r\nfor student 12345678\r\n",
     lines({para("Orvella Analysis Report"), para("for student 12345678"),
            para("Table of Contents")}),
     unmarked_facts()},
    // The trigger resets paragraph and font but leaves the spans open.
    {"EveryLineNamingTheStudentIsFollowedByContents", "~BiuC18~\r\n12345678\r\nagain 12345678\r\n",
     lines({"<B>", "<P ALIGN=\"CENTER\">" + kFont3 + "<B>12345678</B></P>",
            "<P>" + kFont2 + "<B>Table of Contents</B></P>",
            "<P>" + kFont2 + "<B>again 12345678</B></P>",
            "<P>" + kFont2 + "<B>Table of Contents</B></P>"}),
     unmarked_facts()},
    {"ANumberAloneOnAPreformattedLine", "~biuL10~\r\nx\r\n12345678",
     lines({"", "<PRE>" + kCourier + "x", "12345678", "</PRE>" + para("Table of Contents")}),
     unmarked_facts()},
    {"ANumberBetweenStyleCodes", "x ~B~12345678~b~ y\r\nz~12345678",
     lines({para("x <B>12345678</B> y"), para("Table of Contents"), para("z~12345678"),
            para("Table of Contents")}),
     unmarked_facts()},
    {"ANumberFoundAfterAFalseStart", "x121213", lines({para("x121213"), para("Table of Contents")}),
     unmarked_facts("1213")},
    {"NoContentsForAnEmptyNumber", "x", lines({para("x")}), unmarked_facts("")},
    {"NoContentsInFennickDocuments", "jones", lines({para("jones")}), fennick_facts()},
};

const std::vector<BodyCase> kLineEnds = {
    {"LineFeedOnly", "a\nb\n", lines({para("a"), para("b")})},
    {"OnlyOneCarriageReturnIsRemoved", "a\r\r\nb", lines({para("a\r"), para("b")})},
    {"LastLineKeepsAllItsCharacters", "@\r\nxy", lines({kPageBreak, para("xy")})},
    {"ShortLastLine", "x", lines({para("x")})},
    {"LoneCarriageReturnStaysInTheLine", "a\rb\r", lines({para("a\rb\r")})},
    {"DoubleAtAtTheEndGetsNoTitle", "x\r\n@@", lines({para("x"), kPageBreak + "\r\n"}),
     fennick_facts()},
    {"DoubleAtBeforeOneLastByteGetsNoTitle", "@@\r\nx", lines({kPageBreak + "\r\n", para("x")}),
     fennick_facts()},
    {"DoubleAtBeforeTwoLastBytesGetsTheTitle", "@@\r\nxy",
     lines({kPageBreak + "\r\n<P ALIGN=\"CENTER\"><B>SUPPLEMENTARY FENNICK REPORT STUDENT "
                         "INFORMATION</B></P>",
            para("xy")}),
     fennick_facts()},
};

const std::vector<BodyCase> kFailingLines = {
    {"DirectiveOutOfRange", "a\r\n\r\n@99999\r\nb", lines({para("a"), para("b")}), analysis_facts(),
     "Line 3: directive number out of range (@99999)"},
    {"DroppedLineOutOfRange", "_-40000\r\nb", lines({para("b")}), analysis_facts(),
     "Line 1: directive number out of range (_-40000)"},
    {"LastFailureIsKept", "@1e9\r\nok\r\n_1e6 x\r\n", lines({para("ok")}), analysis_facts(),
     "Line 3: directive number out of range (_1e6 x)"},
    {"LongLineIsQuotedShortened", "@" + std::string(60, '9'), "", analysis_facts(),
     "Line 1: directive number out of range (@" + std::string(39, '9') + "...)"},
    {"FennickHeadingBeyondTheTable", "@50\r\n@51\r\nx",
     lines({kPageBreak + "\r\n<P ALIGN=\"CENTER\"><B></B></P>", para("x")}), fennick_facts(),
     "Line 2: Fennick heading number beyond the heading table (@51)"},
    {"NegativeFennickNumberIsAPageBreak", "@-3", lines({kPageBreak}), fennick_facts()},
};

const std::vector<BodyCase> kBytes = {
    {"NulBytesPassThrough", std::string("a\0b", 3), lines({para(std::string("a\0b", 3))})},
    {"HighBytesPassThrough", "caf\xE9 \x93q\x94 \x80\xFF",
     lines({para("caf\xE9 \x93q\x94 \x80\xFF")})},
    {"HighBytesMatchHeadingsIgnoringCase", "APPENDIX\xC9\r\nappendix",
     lines({para("APPENDIX\xC9"), para("<A NAME=\"SEC33\" HREF = \"#TOP\">APPENDIX</A>")})},
    {"MarkupInTextIsEscaped", "<b>&amp;</b> \"q\"",
     lines({para("&lt;b&gt;&amp;&lt;/b&gt; \"q\"")})},
    {"EscapedTextCountsForTabStops", "<\tx", lines({para("&lt;&nbsp;&nbsp;&nbsp;&nbsp;x")})},
    {"ControlBytesAreText", "\x01\x1b[0m\x7f", lines({para("\x01\x1b[0m\x7f")})},
};

std::string case_name(const testing::TestParamInfo<BodyCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(Directives, BodyLines, testing::ValuesIn(kDirectives), case_name);
INSTANTIATE_TEST_SUITE_P(StyleCodes, BodyLines, testing::ValuesIn(kStyleCodes), case_name);
INSTANTIATE_TEST_SUITE_P(Tables, BodyLines, testing::ValuesIn(kTables), case_name);
INSTANTIATE_TEST_SUITE_P(BlanksAndLists, BodyLines, testing::ValuesIn(kBlanksAndLists), case_name);
INSTANTIATE_TEST_SUITE_P(Anchors, BodyLines, testing::ValuesIn(kAnchors), case_name);
INSTANTIATE_TEST_SUITE_P(ScoreKey, BodyLines, testing::ValuesIn(kScoreKey), case_name);
INSTANTIATE_TEST_SUITE_P(Kinds, BodyLines, testing::ValuesIn(kKinds), case_name);
INSTANTIATE_TEST_SUITE_P(LineEnds, BodyLines, testing::ValuesIn(kLineEnds), case_name);
INSTANTIATE_TEST_SUITE_P(FailingLines, BodyLines, testing::ValuesIn(kFailingLines), case_name);
INSTANTIATE_TEST_SUITE_P(Bytes, BodyLines, testing::ValuesIn(kBytes), case_name);

}  // namespace
}  // namespace quillet::test
