// Long lines: a text line goes through the block steps in pieces and is
// handed on while it is written. The document is the same whatever the size
// of the pieces, and the sink never receives much more than a piece at once;
// a short document arrives in large chunks, and a failing sink stops it.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine_test_support.h"
#include "report_document.h"

namespace quillet::test {
namespace {

std::string in_pieces(std::string_view source, const DocumentFacts& facts, std::size_t piece,
                      DocumentOutcome* outcome = nullptr) {
    StringSink sink;
    const auto result =
        write_report_document_in_pieces(source, facts, standard_section_headings(), sink, piece);
    if (outcome != nullptr) {
        *outcome = result;
    }
    return sink.text;
}

std::string repeat(std::string_view text, std::size_t times) {
    std::string result;
    result.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        result.append(text);
    }
    return result;
}

struct PieceCase {
    std::string name;
    std::string source;
};

void PrintTo(const PieceCase& c, std::ostream* os) {
    *os << c.name;
}

// Lines in which every step has something to carry over a cut: runs of
// blanks of both parities, TABs between stops, a CR and "- " cut anywhere,
// "~V~" items, style codes cut in their first eight characters and later,
// escaped markup, and the student number cut by a hand-over.
const std::vector<PieceCase> kCases = {
    {"blank runs",
     lines({"a b  c   d    e     f      g" + std::string(37, ' ') + "h",
            std::string(41, ' ') + "lead", std::string(40, ' '), "x" + std::string(33, ' ')})},
    {"tabs", lines({"a\tbc\tdef\tghijklmn\tx  \t y", "\t  lead tab", "ab\t<c>\t", "\t"})},
    {"list item after a break",
     lines({"text\r- item  with  blanks", "a\r-  not\r- but this", "x\r-", "y\r", "\r- ",
            std::string(30, 'z') + "\r\r- after two"})},
    {"v items", lines({"~V~- item ~B~bold~b~ text", "~V~~~~rest", "~V~<x>" + std::string(40, 'q'),
                       "~V~- a\r- b"})},
    {"style codes",
     lines({"x~BiuL12~" + std::string(50, 'w') + "~biuL12~y",
            "a~" + std::string(40, 'q') + "bQiU~ b ~" + std::string(30, 'x') + "B~c~I~",
            "~VT~x~VTE~y~V" + std::string(20, 'T') + "~", "lone ~ tilde " + std::string(30, 'n'),
            "two ~ and ~ three ~ tildes " + std::string(20, 'n')})},
    {"markup", lines({"<b>&amp;</b> " + repeat("<>", 30) + " \"q\"", "~<B>~text<~"})},
    {"score key", lines({"  SCALED SCORES      DESCRIPTOR       PERCENTILE RANKING",
                         "    16 - 20            Strong              98% - 100%", "after"})},
    {"student number cut",
     lines({repeat("padding ", 9) + "for student 12345678 " + repeat("tail ", 11),
            "next " + repeat("12345678", 5)})},
    {"headings", lines({"Cognitive Tests", "analysis of cognitive tests", "x"})},
    {"table rows", lines({"a\t\t" + repeat("<cell> ", 12) + "\t\t" + repeat("v", 50),
                          "\t\t\t" + repeat("~B~", 20), "after the table"})},
};

class LinePieces : public testing::TestWithParam<PieceCase> {};

TEST_P(LinePieces, EveryPieceSizeWritesTheSameDocument) {
    const auto& c = GetParam();
    const DocumentFacts facts = analysis_facts();
    DocumentOutcome whole_outcome;
    const std::string whole = convert(c.source, facts, &whole_outcome);
    for (std::size_t piece = kSmallestLinePiece; piece <= 70; ++piece) {
        DocumentOutcome outcome;
        ASSERT_TRUE(same_text(whole, in_pieces(c.source, facts, piece, &outcome)))
            << "pieces of " << piece << " bytes";
        EXPECT_EQ(whole_outcome.line_failure, outcome.line_failure);
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, LinePieces, testing::ValuesIn(kCases), [](const auto& test) {
    std::string name = test.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
});

TEST(LongLines, SampleReportsInPiecesAreTheSame) {
    const std::vector<std::pair<std::string, DocumentFacts>> samples = {
        {"orvella/~drntrpa0001.tmp", analysis_facts("12345678")},
        {"orvella/~drntrpd0001.tmp", dyslexia_facts("87654321")},
        {"fennick/Smith7.FNR", fennick_facts("smith7")},
    };
    for (const auto& [name, facts] : samples) {
        const std::string source = read_testdata("../../../examples/" + name);
        ASSERT_FALSE(source.empty()) << name;
        const std::string whole = convert(source, facts);
        for (const std::size_t piece : {8, 11, 32, 97}) {
            ASSERT_TRUE(same_text(whole, in_pieces(source, facts, piece))) << name << ", " << piece;
        }
    }
}

// A line of several hundred kilobytes at the usual piece size: a code and
// the student number each stand across a hand-over, and the contents follow.
TEST(LongLines, StyleCodeAndStudentNumberAcrossHandOvers) {
    const auto facts = unmarked_facts();
    const std::string before(kLinePiece - 5, 'a');
    // The number begins four bytes before the end of the fourth piece.
    const std::string middle(2 * kLinePiece - 7, 'b');
    const std::string source = before + "~BiuL12~" + middle + "12345678" + "\t<z>  \r\n";
    const std::string body = lines({
        "<P>" + kFont2 + before + "<B>" + middle + "12345678" +
            "&nbsp;&nbsp;&nbsp;&nbsp;&lt;z&gt;" + "&nbsp;&nbsp;</P>",
        "<P>" + kFont2 + "<B>Table of Contents</B></P>",
    });
    EXPECT_TRUE(same_text(document(facts, body), convert(source, facts)));
}

// The sink is handed a long line in parts no larger than a few pieces'
// output, whatever the line's length.
TEST(LongLines, HandedOnInBoundedParts) {
    class LargestWrite final : public HtmlSink {
    public:
        std::size_t largest = 0;
        std::size_t total = 0;
        void write(std::string_view bytes) override {
            largest = std::max(largest, bytes.size());
            total += bytes.size();
        }
    };
    const std::vector<std::string> sources = {
        std::string(8 * 1024 * 1024, ' ') + "x\r\n",          // leading blanks
        std::string(8 * 1024 * 1024, ' ') + "\r\n",           // blank pairs
        repeat("c\t\t", 1024 * 1024) + "\r\n",                // table cells
        "a\t" + std::string(4 * 1024 * 1024, ' ') + "b\r\n",  // a tab stop
        repeat("<>", 4 * 1024 * 1024) + "\r\n",
    };
    for (const auto& source : sources) {
        LargestWrite sink;
        write_report_document(source, unmarked_facts(), standard_section_headings(), sink);
        EXPECT_GT(sink.total, source.size());
        EXPECT_LE(sink.largest, 4 * 1024 * 1024U) << "a line of " << source.size() << " bytes";
    }
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

TEST(Sink, LargeDocumentsArriveInLargeChunksInOrderAndAFailurePassesThrough) {
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
    // A write failure passes through.
    FailingSink sink;
    EXPECT_THROW(
        write_report_document("@\r\ntext\r\n", analysis_facts(), standard_section_headings(), sink),
        std::runtime_error);
}

}  // namespace
}  // namespace quillet::test
