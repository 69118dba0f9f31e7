// Untrusted source text: line ends, failing lines, bytes of every kind, any
// length, and a sink that cannot store the document.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "engine_test_support.h"

namespace quillet::test {
namespace {

std::string para(std::string_view text) {
    return "<P>" + kFont2 + std::string(text) + "</P>";
}

struct SourceCase {
    std::string name;
    std::string source;
    std::string body;
    std::string failure;
    DocumentFacts facts = analysis_facts();
};

void PrintTo(const SourceCase& c, std::ostream* os) {
    *os << c.name;
}

class SourceText : public testing::TestWithParam<SourceCase> {};

TEST_P(SourceText, ConvertsEveryLineOrNamesTheOneThatFailed) {
    const auto& c = GetParam();
    DocumentOutcome outcome;
    EXPECT_TRUE(same_text(document(c.facts, c.body), convert(c.source, c.facts, &outcome)));
    EXPECT_EQ(outcome.line_failure, c.failure);
    EXPECT_TRUE(outcome.body_complete);
}

const std::vector<SourceCase> kLineEnds = {
    {"LineFeedOnly", "a\nb\n", lines({para("a"), para("b")}), ""},
    {"OnlyOneCarriageReturnIsRemoved", "a\r\r\nb", lines({para("a\r"), para("b")}), ""},
    {"LastLineKeepsAllItsCharacters", "@\r\nxy", lines({kPageBreak, para("xy")}), ""},
    {"ShortLastLine", "x", lines({para("x")}), ""},
    {"LoneCarriageReturnStaysInTheLine", "a\rb\r", lines({para("a\rb\r")}), ""},
    {"DoubleAtAtTheEndGetsNoTitle", "x\r\n@@", lines({para("x"), kPageBreak + "\r\n"}), "",
     fennick_facts()},
    {"DoubleAtBeforeOneLastByteGetsNoTitle", "@@\r\nx", lines({kPageBreak + "\r\n", para("x")}), "",
     fennick_facts()},
    {"DoubleAtBeforeTwoLastBytesGetsTheTitle", "@@\r\nxy",
     lines({kPageBreak + "\r\n<P ALIGN=\"CENTER\"><B>SUPPLEMENTARY FENNICK REPORT STUDENT "
                         "INFORMATION</B></P>",
            para("xy")}),
     "", fennick_facts()},
};

const std::vector<SourceCase> kFailingLines = {
    {"DirectiveOutOfRange", "a\r\n\r\n@99999\r\nb", lines({para("a"), para("b")}),
     "Line 3: directive number out of range (@99999)"},
    {"DroppedLineOutOfRange", "_-40000\r\nb", lines({para("b")}),
     "Line 1: directive number out of range (_-40000)"},
    {"LastFailureIsKept", "@1e9\r\nok\r\n_1e6 x\r\n", lines({para("ok")}),
     "Line 3: directive number out of range (_1e6 x)"},
    {"LongLineIsQuotedShortened", "@" + std::string(60, '9'), "",
     "Line 1: directive number out of range (@" + std::string(39, '9') + "...)"},
    {"FennickHeadingBeyondTheTable", "@50\r\n@51\r\nx",
     lines({kPageBreak + "\r\n<P ALIGN=\"CENTER\"><B></B></P>", para("x")}),
     "Line 2: Fennick heading number beyond the heading table (@51)", fennick_facts()},
    {"NegativeFennickNumberIsAPageBreak", "@-3", lines({kPageBreak}), "", fennick_facts()},
};

const std::vector<SourceCase> kBytes = {
    {"NulBytesPassThrough", std::string("a\0b", 3), lines({para(std::string("a\0b", 3))}), ""},
    {"HighBytesPassThrough", "caf\xE9 \x93q\x94 \x80\xFF",
     lines({para("caf\xE9 \x93q\x94 \x80\xFF")}), ""},
    {"HighBytesMatchHeadingsIgnoringCase", "APPENDIX\xC9\r\nappendix",
     lines({para("APPENDIX\xC9"), para("<A NAME=\"SEC33\" HREF = \"#TOP\">APPENDIX</A>")}), ""},
    {"MarkupInTextIsEscaped", "<b>&amp;</b> \"q\"", lines({para("&lt;b&gt;&amp;&lt;/b&gt; \"q\"")}),
     ""},
    {"EscapedTextCountsForTabStops", "<\tx", lines({para("&lt;&nbsp;&nbsp;&nbsp;&nbsp;x")}), ""},
    {"ControlBytesAreText", "\x01\x1b[0m\x7f", lines({para("\x01\x1b[0m\x7f")}), ""},
};

std::string case_name(const testing::TestParamInfo<SourceCase>& param) {
    return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(LineEnds, SourceText, testing::ValuesIn(kLineEnds), case_name);
INSTANTIATE_TEST_SUITE_P(FailingLines, SourceText, testing::ValuesIn(kFailingLines), case_name);
INSTANTIATE_TEST_SUITE_P(Bytes, SourceText, testing::ValuesIn(kBytes), case_name);

TEST(SourceText, HugeLinesConvertWhole) {
    const std::string words(100'000, 'w');
    const std::string tildes(200'001, '~');  // pairs vanish, the last one stays
    const std::string tabs(50'000, '\t');
    const std::string source = words + "\r\n" + tildes + "\r\n" + tabs + "\r\n" +
                               std::string(1'000'000, '1') + "\r\n_" + std::string(1'000'000, '0') +
                               "7";
    DocumentOutcome outcome;
    const std::string body = lines({para(words), para("~"), "<TABLE CELLSPACING=1 CELLPADDING=0>",
                                    "<TR><TD WIDTH=150><P></P></TD></TR>", "</TABLE>",
                                    para(std::string(1'000'000, '1'))});
    EXPECT_TRUE(
        same_text(document(analysis_facts(), body), convert(source, analysis_facts(), &outcome)));
    EXPECT_EQ(outcome.line_failure, "");
}

TEST(SourceText, ManyCodesInOneLine) {
    std::string source = "x";
    std::string expected = "x";
    for (int i = 0; i < 10'000; ++i) {
        source += "~B~x~b~";
        expected += "<B>x</B>";
    }
    // The first code switches to fixed pitch for later lines only.
    EXPECT_TRUE(same_text(document(analysis_facts(), lines({para(expected)})),
                          convert(source, analysis_facts())));
}

// Keeps what it is given, in the pieces it was given.
class ChunkSink final : public HtmlSink {
public:
    std::vector<std::string> chunks;
    void write(std::string_view bytes) override { chunks.emplace_back(bytes); }
};

class FailingSink final : public HtmlSink {
public:
    void write(std::string_view) override { throw std::runtime_error("disk full"); }
};

TEST(Sink, LargeDocumentsArriveInLargeChunksInOrder) {
    std::string source;
    for (int i = 0; i < 20'000; ++i) {
        source += "Line of ~BiuL12~report~biuL12~ text number " + std::to_string(i) + "\r\n";
    }
    ChunkSink chunks;
    write_report_document(source, analysis_facts(), standard_section_headings(), chunks);
    ASSERT_GT(chunks.chunks.size(), 2u);
    std::string joined;
    for (std::size_t i = 0; i < chunks.chunks.size(); ++i) {
        if (i + 1 < chunks.chunks.size()) {
            EXPECT_GE(chunks.chunks[i].size(), 64u * 1024u);
        }
        joined += chunks.chunks[i];
    }
    EXPECT_EQ(joined, convert(source, analysis_facts()));
}

TEST(Sink, WriteFailurePassesThrough) {
    FailingSink sink;
    EXPECT_THROW(
        write_report_document("@\r\ntext\r\n", analysis_facts(), standard_section_headings(), sink),
        std::runtime_error);
}

}  // namespace
}  // namespace quillet::test
