// The plain text of a document, as the search index and `quillet-convert text` see it.
#include <gtest/gtest.h>

#include "document_text.h"
#include "engine_test_support.h"

namespace quillet::test {
namespace {

TEST(DocumentText, WholeWorkedExample) {
    EXPECT_TRUE(same_text(read_testdata("analysis_worked_example.txt"),
                          document_text(read_testdata("analysis_worked_example.htm"))));
}

TEST(DocumentText, MarkupEntitiesAndCodePage) {
    const struct {
        std::string_view html, text;
    } cases[] = {
        {"<HEAD><TITLE>t</TITLE></HEAD><BODY>a<SCRIPT>x<y</SCRIPT>b<style>p{}</style>c", "abc\n"},
        {"<head><title>no end of head<body>x", "x\n"},
        {"&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#150;&#0;&#x110000;&bogus;&amp",
         "&<>\"'AB\xE2\x80\x93"
         "\xEF\xBF\xBD\xEF\xBF\xBD&bogus;&amp\n"},
        {"caf\xE9 \x80 \x93 \x81x", "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C x\n"},
        {"a&nbsp;&nbsp;b\xA0"
         "c   d\r\ne",
         "a  b c d e\n"},
        {"<P>one</P><P>two<BR>three<BR><BR><BR>four</P>", "one\n\ntwo\nthree\n\nfour\n"},
        {"<TABLE><TR><TD><P>Reading</P></TD><TD>12</TD></TR><TR><TD>x</TD></TR></TABLE>",
         "Reading\t12\nx\n"},
        {"<PRE>  a  b\r\n\r\n\r\n \r\nc</PRE>d<PRE>\r\n\r\n  </PRE>", "  a  b\n\nc\nd\n"},
        {"1 < 2 <3 a<!-- <p> -->b<!DOCTYPE x>c</ d", "1 < 2 <3 abc</ d\n"},
        {"x<A HREF=\"y\">link</A>y<unclosed", "xlinky\n"},
        {"<!-- never closed", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(document_text(c.html), c.text) << c.html;
    }
}

}  // namespace
}  // namespace quillet::test
