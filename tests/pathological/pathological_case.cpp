// Converts one pathological input through the engine and checks the document
// it makes: the whole text where it is known, otherwise counts of the texts
// it must hold. Each case runs as a test of its own, in its own process,
// with a time limit (see CMakeLists.txt).
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
    if (name == "student_lines") {
        return 10'000;
    }
    return 1'000'000;
}

// Compares the document with the expected pieces as it arrives, and counts
// the texts asked for, keeping nothing of it but a short tail.
class CheckingSink final : public HtmlSink {
public:
    CheckingSink(std::vector<Piece> expected,
                 std::vector<std::pair<std::string, std::size_t>> counts)
        : expected_(std::move(expected)) {
        for (auto& [text, times] : counts) {
            Counter counter;
            counter.text = std::move(text);
            counter.expected = times;
            counters_.push_back(std::move(counter));
        }
    }

    void write(std::string_view bytes) override {
        size_ += bytes.size();
        if (compare_) {
            compare(bytes);
        }
        for (Counter& counter : counters_) {
            counter.feed(bytes);
        }
        tail_.append(bytes.substr(bytes.size() - std::min<std::size_t>(bytes.size(), 256)));
        if (tail_.size() > 512) {
            tail_.erase(0, tail_.size() - 256);
        }
    }

    // Empty when the document is as expected; otherwise what differs.
    std::string verdict() const {
        if (compare_ && !mismatch_.empty()) {
            return mismatch_;
        }
        if (compare_ && piece_ < expected_.size()) {
            return "the document ends early, at byte " + std::to_string(size_);
        }
        std::string problems;
        for (const Counter& counter : counters_) {
            if (counter.count != counter.expected) {
                problems += "\"" + printable(counter.text) + "\" found " +
                            std::to_string(counter.count) + " times, expected " +
                            std::to_string(counter.expected) + "\n";
            }
        }
        return problems;
    }

    std::size_t size() const { return size_; }
    const std::string& tail() const { return tail_; }
    void compare_whole_document(bool on) { compare_ = on; }

private:
    struct Counter {
        std::string text;
        std::size_t expected = 0;
        std::size_t count = 0;
        std::string carry;  // the last text.size() - 1 bytes seen

        void feed(std::string_view chunk) {
            // Matches that begin in the carried bytes and end in this chunk.
            const std::string joint =
                carry + std::string(chunk.substr(0, std::min(chunk.size(), text.size() - 1)));
            for (auto at = joint.find(text); at != std::string::npos && at < carry.size();
                 at = joint.find(text, at + text.size())) {
                ++count;
            }
            for (auto at = chunk.find(text); at != std::string_view::npos;
                 at = chunk.find(text, at + text.size())) {
                ++count;
            }
            carry =
                (carry +
                 std::string(chunk.substr(chunk.size() - std::min(chunk.size(), text.size() - 1))));
            carry.erase(0, carry.size() - std::min(carry.size(), text.size() - 1));
        }
    };

    static std::string printable(std::string_view text) {
        std::string shown;
        for (const char c : text.substr(0, 120)) {
            if (c == '\r') {
                shown += "\\r";
            } else if (c == '\n') {
                shown += "\\n";
            } else if (c == '\t') {
                shown += "\\t";
            } else {
                shown += c;
            }
        }
        return text.size() > 120 ? shown + "..." : shown;
    }

    void compare(std::string_view bytes) {
        while (!bytes.empty() && mismatch_.empty()) {
            if (piece_ == expected_.size()) {
                mismatch_ = "the document goes on past its end, at byte " +
                            std::to_string(size_ - bytes.size()) + ": \"" + printable(bytes) + "\"";
                return;
            }
            const Piece& piece = expected_[piece_];
            const std::string_view want = std::string_view(piece.text).substr(offset_);
            const std::size_t n = std::min(want.size(), bytes.size());
            if (bytes.substr(0, n) != want.substr(0, n)) {
                std::size_t i = 0;
                while (bytes[i] == want[i]) {
                    ++i;
                }
                mismatch_ = "piece " + std::to_string(piece_) + " (repetition " +
                            std::to_string(repetition_ + 1) + " of " + std::to_string(piece.times) +
                            "), byte " + std::to_string(offset_ + i) + ":\n  expected \"" +
                            printable(want.substr(i)) + "\"\n  written  \"" +
                            printable(bytes.substr(i)) + "\"";
                return;
            }
            bytes.remove_prefix(n);
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

    void skip_empty_pieces() {
        while (piece_ < expected_.size() &&
               (expected_[piece_].times == 0 || expected_[piece_].text.empty())) {
            ++piece_;
        }
    }

public:
    void start() { skip_empty_pieces(); }

private:
    std::vector<Piece> expected_;
    std::size_t piece_ = 0;
    std::size_t repetition_ = 0;
    std::size_t offset_ = 0;
    std::string mismatch_;
    bool compare_ = true;
    std::vector<Counter> counters_;
    std::size_t size_ = 0;
    std::string tail_;
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
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryMeasured = false;
#else
constexpr bool kMemoryMeasured = true;
#endif
#else
constexpr bool kMemoryMeasured = true;
#endif

int usage() {
    std::fprintf(stderr, "usage: pathological_case NAME [REPETITIONS]\ncases:");
    for (const std::string& name : case_names()) {
        std::fprintf(stderr, " %s", name.c_str());
    }
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || argc > 3) {
        return usage();
    }
    const std::string_view name = argv[1];
    if (std::find(case_names().begin(), case_names().end(), name) == case_names().end()) {
        return usage();
    }
    const std::size_t repetitions =
        argc == 3 ? std::strtoull(argv[2], nullptr, 10) : default_repetitions(name);
    if (repetitions < 2) {
        return usage();
    }

    const auto started = std::chrono::steady_clock::now();
    Case c = make_case(name, repetitions);
    std::vector<Piece> expected;
    expected.push_back({expected_head(c.facts)});
    expected.insert(expected.end(), c.body.begin(), c.body.end());
    expected.push_back({std::string(kFooter)});
    const std::size_t source_size = c.source.size();

    CheckingSink sink(std::move(expected), std::move(c.counts));
    sink.compare_whole_document(c.body_known);
    sink.start();
    const bool measured = kMemoryMeasured && reset_peak_memory();
    const long before_kb = status_kb("VmRSS");
    const auto generated = std::chrono::steady_clock::now();
    const DocumentOutcome outcome =
        write_report_document(c.source, c.facts, standard_section_headings(), sink);
    const auto converted = std::chrono::steady_clock::now();
    const long grown_kb = status_kb("VmHWM") - before_kb;

    std::string problems = sink.verdict();
    if (measured && grown_kb > kMemoryAllowanceKb) {
        problems += "the conversion took " + std::to_string(grown_kb / 1024) +
                    " MB on top of the source's " + std::to_string(source_size / (1024 * 1024)) +
                    " MB\n";
    }
    if (!outcome.body_complete) {
        problems += "the body ended early\n";
    }
    if (!sink.tail().ends_with(kFooter)) {
        problems += "the document does not end with its closing lines\n";
    }
    if (!outcome.line_failure.starts_with(c.failure_prefix) ||
        outcome.line_failure.empty() != c.failure_prefix.empty()) {
        problems += "line failure \"" + outcome.line_failure + "\", expected one beginning \"" +
                    c.failure_prefix + "\"\n";
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
