// Pathological reports of many lines (the engine benchmark covers single
// huge lines): each at two sizes ten times apart, so that the time per
// repetition can be compared (bench/compare.sh prints the ratio).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "../tests/pathological/pathological_inputs.h"
#include "report_engine.h"

namespace {

using namespace quillet::pathological;

class CountingSink final : public quillet::HtmlSink {
public:
    std::size_t bytes = 0;
    void write(std::string_view text) override { bytes += text.size(); }
};

void convert_case(benchmark::State& state, const char* name) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const Case c = make_case(name, n);
    std::size_t out = 0;
    for (auto _ : state) {
        CountingSink sink;
        quillet::write_report_document(c.source, c.facts, quillet::standard_section_headings(),
                                       sink);
        out = sink.bytes;
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(n));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(c.source.size()));
    state.counters["out/in"] = static_cast<double>(out) / static_cast<double>(c.source.size());
}

#define QUILLET_LINES_CASE(name, small)          \
    BENCHMARK_CAPTURE(convert_case, name, #name) \
        ->Arg(small)                             \
        ->Arg(10 * (small))                      \
        ->Unit(benchmark::kMillisecond)

QUILLET_LINES_CASE(tilde_lines, 100'000);
QUILLET_LINES_CASE(style_code_lines, 100'000);
QUILLET_LINES_CASE(tab_stop_lines, 100'000);
QUILLET_LINES_CASE(nbsp_lines, 100'000);
QUILLET_LINES_CASE(page_break_lines, 100'000);
QUILLET_LINES_CASE(fennick_headings, 100'000);
QUILLET_LINES_CASE(fennick_supplement, 100'000);
QUILLET_LINES_CASE(dropped_lines, 100'000);
QUILLET_LINES_CASE(underscore_lines, 100'000);
QUILLET_LINES_CASE(list_break_lines, 100'000);
QUILLET_LINES_CASE(empty_lines, 100'000);
QUILLET_LINES_CASE(tab_cells, 100'000);
QUILLET_LINES_CASE(list_break_run, 1'000'000);
QUILLET_LINES_CASE(directive_digits, 1'000'000);
QUILLET_LINES_CASE(analysis_outline, 1'000);
QUILLET_LINES_CASE(dyslexia_outline, 1'000);
QUILLET_LINES_CASE(student_lines, 1'000);

}  // namespace

BENCHMARK_MAIN();
