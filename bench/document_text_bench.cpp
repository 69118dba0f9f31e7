// Hostile documents through the plain text extraction, each at two sizes ten
// times apart (bench/compare.sh prints the ratio of their times).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "document_text.h"

namespace {

std::string repeat(std::string_view text, std::size_t times) {
    std::string result;
    result.reserve(text.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

void text_case(benchmark::State& state, std::string_view prefix, std::string_view unit) {
    const std::string html =
        std::string(prefix) + repeat(unit, static_cast<std::size_t>(state.range(0)));
    std::size_t out = 0;
    for (auto _ : state) {
        out = quillet::document_text(html).size();
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(html.size()));
}

#define QUILLET_TEXT_CASE(name, prefix, unit)        \
    BENCHMARK_CAPTURE(text_case, name, prefix, unit) \
        ->Arg(100'000)                               \
        ->Arg(1'000'000)                             \
        ->Unit(benchmark::kMillisecond)

QUILLET_TEXT_CASE(angle_brackets, "", "<");
QUILLET_TEXT_CASE(unclosed_tags, "", "<a");
QUILLET_TEXT_CASE(almost_end_tags, "<script>", "</scrip");
QUILLET_TEXT_CASE(head_without_end, "<head>", "<p>x");
QUILLET_TEXT_CASE(comment_openings, "", "<!--");
QUILLET_TEXT_CASE(ampersands, "", "&#x");
QUILLET_TEXT_CASE(entities, "", "&nbsp;&#150;&amp;");
QUILLET_TEXT_CASE(paragraphs, "", "<p><br>");
QUILLET_TEXT_CASE(blank_pre_lines, "<pre>", " \r\n");
QUILLET_TEXT_CASE(cells, "<table><tr>", "<td><p>x</p></td>");
QUILLET_TEXT_CASE(high_bytes, "", "\x80\xe9\xa0");

}  // namespace

BENCHMARK_MAIN();
