// Helpers of the engine tests: running a conversion, building expected
// documents, and comparing texts with a readable difference.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "report_engine.h"

namespace quillet::test {

inline const std::string kFont2 = "<Font FACE = \"Arial\" SIZE=2>";
inline const std::string kFont3 = "<Font FACE = \"Arial\" SIZE=3>";
inline const std::string kFont5 = "<Font FACE = \"Arial\" SIZE=5>";
inline const std::string kCourier = "<Font FACE = \"Courier New\" SIZE=3>";
inline const std::string kPageBreak =
    "<H1 class=\"pagebreak\"><HR></H1>\n<br clear=all style='page-break-after:always'>";

DocumentFacts analysis_facts(std::string student = "12345678");
DocumentFacts dyslexia_facts(std::string student = "87654321");
DocumentFacts fennick_facts(std::string base_name = "jones");
DocumentFacts unmarked_facts(std::string student = "12345678");

// Each text followed by CR LF.
std::string lines(std::initializer_list<std::string_view> texts);

// The head the facts call for, the body given, and the closing lines.
std::string document(const DocumentFacts& facts, std::string_view body);

std::string convert(std::string_view source, const DocumentFacts& facts,
                    DocumentOutcome* outcome = nullptr);

// The last count lines of text.
std::string_view last_lines(std::string_view text, std::size_t count);

std::string read_testdata(const std::string& name);

// Equal texts, or the first differing line with its neighbours, CR, LF, TAB
// and other control bytes shown visibly.
testing::AssertionResult same_text(std::string_view expected, std::string_view actual);

}  // namespace quillet::test
