// Report-like text for the benchmarks: prose, style lines, tables, the score
// key, headings, dropped lines, page breaks and blank runs, the same on every
// run.
#pragma once

#include <cstdint>
#include <string>

namespace quillet::bench {

// A small fixed generator, so every run converts the same text.
class Dice {
public:
    std::uint32_t next(std::uint32_t below) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state_ >> 33) % below;
    }

private:
    std::uint64_t state_ = 20240601;
};

inline constexpr const char* kWords[] = {
    "the",     "student", "scored",   "within",     "average", "range",  "for",      "reading",
    "and",     "showed",  "strong",   "reasoning",  "skills",  "but",    "spelling", "was",
    "weaker",  "than",    "expected", "of",         "a",       "memory", "test",     "results",
    "suggest", "extra",   "time",     "assessment", "coding",  "speed",  "verbal",   "numeracy",
};

inline std::string prose_line(Dice& dice) {
    std::string line;
    const auto words = 6 + dice.next(12);
    for (std::uint32_t w = 0; w < words; ++w) {
        if (w > 0) {
            line += ' ';
        }
        if (dice.next(10) == 0) {
            line += "~BiuL12~";
            line += kWords[dice.next(32)];
            line += "~biuL12~";
        } else {
            line += kWords[dice.next(32)];
        }
    }
    return line + ".";
}

// Report-like text of about the given size: prose, style lines, tables, the
// score key, headings, dropped lines, page breaks and blank runs.
inline std::string report_text(std::size_t size) {
    Dice dice;
    std::string text = "@\r\n~biuC18~\r\nOrvella Analysis Report for student 12345678\r\n";
    while (text.size() < size) {
        switch (dice.next(20)) {
            case 0:
                text += "@\r\n";
                break;
            case 1:
                text += "~BiuL12~\r\nAnalysis of Cognitive Tests\r\n~biuL12~\r\n";
                break;
            case 2:
                text += "\tVerbal Reasoning\t\t12\r\n\tDescriptor\t\tAverage\r\nScore\t\t9\r\n";
                break;
            case 3:
                text +=
                    "  SCALED SCORES      DESCRIPTOR       PERCENTILE RANKING\r\n"
                    "    16 - 20            Strong              98% - 100%\r\n"
                    "     8 - 12            Average             25% - 75%\r\n~biuL12~\r\n";
                break;
            case 4:
                text += "\r\n\r\n_1 internal note\r\n";
                break;
            case 5:
                text += "   Indented    text  with   blank runs.\r\n";
                break;
            case 6:
                text += "~V~- " + prose_line(dice) + "\r\n";
                break;
            default:
                text += prose_line(dice) + "\r\n";
                break;
        }
    }
    return text;
}

}  // namespace quillet::bench
