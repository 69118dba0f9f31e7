// Converts one pathological input through the engine and checks the whole
// document it makes as it arrives. Each case runs as a test of its own, in
// its own process, with a time limit (see CMakeLists.txt).
//   pathological_case NAME [REPETITIONS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "pathological_inputs.h"

namespace {

using namespace quillet;
using namespace quillet::pathological;

// The default size of each case: a million repetitions, a 100 MB line, the
// outline 100,000 times over (3.9 million heading lines), and 10,000 tables of
// contents (400,000 table lines).
std::size_t default_repetitions(std::string_view name) {
    if (name == "huge_line") {
        return 100 * 1024 * 1024;
    }
    if (name == "analysis_outline" || name == "dyslexia_outline") {
        return 100'000;
    }
    return name == "student_lines" ? 10'000 : 1'000'000;
}

// Compares the document with the expected pieces as it arrives, keeping
// nothing of it.
class CheckingSink final : public HtmlSink {
public:
    explicit CheckingSink(std::vector<Piece> expected) : expected_(std::move(expected)) {
        skip_empty_pieces();
    }

    void write(std::string_view bytes) override {
        while (!bytes.empty() && mismatch_.empty()) {
            if (piece_ == expected_.size()) {
                mismatch_ = "the document goes on past its end";
                break;
            }
            const Piece& piece = expected_[piece_];
            const std::string_view want = std::string_view(piece.text).substr(offset_);
            const std::size_t n = std::min(want.size(), bytes.size());
            if (bytes.substr(0, n) != want.substr(0, n)) {
                const auto at = std::mismatch(bytes.begin(), bytes.begin() + n, want.begin()).first;
                mismatch_ =
                    "byte " + std::to_string(size_ + (at - bytes.begin())) + " differs: \"" +
                    std::string(at,
                                bytes.begin() + std::min<std::size_t>(n, at - bytes.begin() + 60)) +
                    "\"";
                break;
            }
            bytes.remove_prefix(n);
            size_ += n;
            offset_ += n;
            if (offset_ == piece.text.size()) {
                offset_ = 0;
                if (++repetition_ >= piece.times) {
                    repetition_ = 0;
                    ++piece_;
                    skip_empty_pieces();
                }
            }
        }
    }

    // Empty when the document is as expected; otherwise what differs.
    std::string verdict() const {
        if (mismatch_.empty() && piece_ < expected_.size()) {
            return "the document ends early, at byte " + std::to_string(size_);
        }
        return mismatch_;
    }
    std::size_t size() const { return size_; }

private:
    void skip_empty_pieces() {
        while (piece_ < expected_.size() &&
               (expected_[piece_].times == 0 || expected_[piece_].text.empty())) {
            ++piece_;
        }
    }

    std::vector<Piece> expected_;
    std::size_t piece_ = 0;
    std::size_t repetition_ = 0;
    std::size_t offset_ = 0;
    std::size_t size_ = 0;
    std::string mismatch_;
};

// The memory a conversion may take on top of what the process holds before
// it (the source among it), whatever the input.
constexpr long kMemoryAllowanceKb = 64 * 1024;

// A field of /proc/self/status in kB, or -1.
long status_kb(std::string_view field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with(field) && line.size() > field.size() && line[field.size()] == ':') {
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
        }
    }
    return -1;
}

// Starts the peak resident size afresh at the present one.
bool reset_peak_memory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return clear.good() && status_kb("VmHWM") < status_kb("VmRSS") + 4 * 1024;
}

// The sanitizers keep freed memory aside and shadow every allocation: the
// bound holds for the program as built for use.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryMeasured = false;
#else
constexpr bool kMemoryMeasured = true;
#endif

}  // namespace

int main(int argc, char* argv[]) {
    const std::string_view name = argc > 1 ? argv[1] : "";
    const std::size_t repetitions =
        argc == 3 ? std::strtoull(argv[2], nullptr, 10) : default_repetitions(name);
    if (argc < 2 || argc > 3 || repetitions < 2 ||
        std::find(case_names().begin(), case_names().end(), name) == case_names().end()) {
        std::fprintf(stderr, "usage: pathological_case NAME [REPETITIONS]\n");
        return 2;
    }

    const auto started = std::chrono::steady_clock::now();
    Case c = make_case(name, repetitions);
    std::vector<Piece> expected{{expected_head(c.facts)}};
    expected.insert(expected.end(), c.body.begin(), c.body.end());
    expected.push_back({std::string(kFooter)});
    const std::size_t source_size = c.source.size();

    CheckingSink sink(std::move(expected));
    const bool measured = kMemoryMeasured && reset_peak_memory();
    const long before_kb = status_kb("VmRSS");
    const auto generated = std::chrono::steady_clock::now();
    const DocumentOutcome outcome =
        write_report_document(c.source, c.facts, standard_section_headings(), sink);
    const auto converted = std::chrono::steady_clock::now();
    const long grown_kb = status_kb("VmHWM") - before_kb;

    std::string problems = sink.verdict();
    if (measured && grown_kb > kMemoryAllowanceKb) {
        problems += "\nthe conversion took " + std::to_string(grown_kb / 1024) + " MB";
    }
    if (!outcome.body_complete) {
        problems += "\nthe body ended early";
    }
    if (!outcome.line_failure.starts_with(c.failure_prefix) ||
        outcome.line_failure.empty() != c.failure_prefix.empty()) {
        problems += "\nline failure \"" + outcome.line_failure + "\"";
    }

    using ms = std::chrono::duration<double, std::milli>;
    std::printf(
        "%s: %zu repetitions, %zu bytes in, %zu bytes out; generated in %.0f ms, "
        "converted in %.0f ms, peak memory %s\n",
        std::string(name).c_str(), repetitions, source_size, sink.size(),
        ms(generated - started).count(), ms(converted - generated).count(),
        measured ? ("+" + std::to_string(grown_kb) + " kB").c_str() : "not measured");
    if (!problems.empty()) {
        std::fprintf(stderr, "%s: %s\n", std::string(name).c_str(), problems.c_str());
        return 1;
    }
    return 0;
}
