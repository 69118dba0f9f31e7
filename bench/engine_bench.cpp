// Throughput of the conversion engine on report-like text, and on
// pathological lines at two sizes ten times apart (the time per byte should
// stay the same).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "report_engine.h"
#include "report_text.h"

namespace {

using quillet::bench::Dice;
using quillet::bench::prose_line;
using quillet::bench::report_text;

using quillet::DocumentFacts;

// Counts the bytes it is given and keeps none.
class CountingSink final : public quillet::HtmlSink {
public:
    std::size_t bytes = 0;
    void write(std::string_view text) override { bytes += text.size(); }
};

void convert(benchmark::State& state, const std::string& source, const DocumentFacts& facts) {
    const auto& headings = quillet::standard_section_headings();
    std::size_t out = 0;
    for (auto _ : state) {
        CountingSink sink;
        quillet::write_report_document(source, facts, headings, sink);
        out = sink.bytes;
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(source.size()));
    state.counters["out/in"] =
        static_cast<double>(out) / static_cast<double>(std::max<std::size_t>(source.size(), 1));
}

const DocumentFacts kAnalysis{quillet::kKindAnalysis, "12345678", "Analysis", false};

void BM_ReportText(benchmark::State& state) {
    static const std::string source = report_text(32 * 1024 * 1024);
    convert(state, source, kAnalysis);
}
BENCHMARK(BM_ReportText)->Unit(benchmark::kMillisecond);

void BM_ReportTextIntoString(benchmark::State& state) {
    static const std::string source = report_text(32 * 1024 * 1024);
    for (auto _ : state) {
        quillet::StringSink sink;
        sink.text.reserve(source.size() * 2);
        quillet::write_report_document(source, kAnalysis, quillet::standard_section_headings(),
                                       sink);
        benchmark::DoNotOptimize(sink.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(source.size()));
}
BENCHMARK(BM_ReportTextIntoString)->Unit(benchmark::kMillisecond);

// Pathological input of state.range(0) units.
template <typename Make>
void pathological(benchmark::State& state, Make make) {
    const auto source = make(static_cast<std::size_t>(state.range(0)));
    convert(state, source, kAnalysis);
}

void BM_Tildes(benchmark::State& state) {
    pathological(state, [](std::size_t n) { return "x" + std::string(n, '~'); });
}
void BM_BoldCodes(benchmark::State& state) {
    pathological(state, [](std::size_t n) {
        std::string text = "x";
        for (std::size_t i = 0; i < n / 3; ++i) {
            text += "~B~";
        }
        return text;
    });
}
void BM_Tabs(benchmark::State& state) {
    pathological(state, [](std::size_t n) { return "x" + std::string(n, '\t') + "y"; });
}
void BM_AlternatingTabs(benchmark::State& state) {
    pathological(state, [](std::size_t n) {
        std::string text;
        for (std::size_t i = 0; i < n / 2; ++i) {
            text += "a\t";
        }
        return text;
    });
}
void BM_Blanks(benchmark::State& state) {
    pathological(state, [](std::size_t n) { return "x" + std::string(n, ' ') + "y"; });
}
void BM_AngleBrackets(benchmark::State& state) {
    pathological(state, [](std::size_t n) { return std::string(n, '<'); });
}
void BM_HugeProseLine(benchmark::State& state) {
    pathological(state, [](std::size_t n) {
        Dice dice;
        std::string text;
        while (text.size() < n) {
            text += prose_line(dice) + " ";
        }
        return text;
    });
}
void BM_HugeDirectiveNumber(benchmark::State& state) {
    pathological(state, [](std::size_t n) { return "@" + std::string(n, '7'); });
}
void BM_StudentNumberPrefixes(benchmark::State& state) {
    // The student number search meets its own first seven digits again and again.
    pathological(state, [](std::size_t n) {
        std::string text;
        while (text.size() < n) {
            text += "1234567";
        }
        return text;
    });
}
void BM_FailingLines(benchmark::State& state) {
    pathological(state, [](std::size_t n) {
        std::string text;
        while (text.size() < n) {
            text += "@99999\r\n";
        }
        return text;
    });
}
void BM_CarriageReturns(benchmark::State& state) {
    pathological(state, [](std::size_t n) { return "x" + std::string(n, '\r') + "- y"; });
}

#define QUILLET_PATHOLOGICAL(name) \
    BENCHMARK(name)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond)

QUILLET_PATHOLOGICAL(BM_Tildes);
QUILLET_PATHOLOGICAL(BM_BoldCodes);
QUILLET_PATHOLOGICAL(BM_Tabs);
QUILLET_PATHOLOGICAL(BM_AlternatingTabs);
QUILLET_PATHOLOGICAL(BM_Blanks);
QUILLET_PATHOLOGICAL(BM_AngleBrackets);
QUILLET_PATHOLOGICAL(BM_HugeProseLine);
QUILLET_PATHOLOGICAL(BM_HugeDirectiveNumber);
QUILLET_PATHOLOGICAL(BM_StudentNumberPrefixes);
QUILLET_PATHOLOGICAL(BM_FailingLines);
QUILLET_PATHOLOGICAL(BM_CarriageReturns);

}  // namespace

BENCHMARK_MAIN();
