// The key to the scoring system as the source reports print it: a heading
// and five rows aligned with blanks. Every blank counts.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quillet::score_key {

// The heading as the reports print it, and as the document writes it.
inline constexpr std::string_view kHeadingFound =
    "  SCALED SCORES      DESCRIPTOR       PERCENTILE RANKING";
inline constexpr std::string_view kHeadingWritten =
    "  SCALED SCORES     DESCRIPTOR        PERCENTILE RANKING";

inline constexpr std::array<std::string_view, 5> kRows = {
    "    16 - 20            Strong              98% - 100%",
    "    13 - 15            Above Average       84% - 95%",
    "     8 - 12            Average             25% - 75%",
    "     6 -  7            Below Average        9% - 16%",
    "     1 -  5            Weak                 0% -  5%",
};

// No line shorter than this can hold any of the texts.
inline constexpr std::size_t kShortest = 52;

// True when line holds text. Only the places of one rarely used character of
// the text are tried, so a line costs at most the text's length per such
// character.
bool holds(std::string_view line, std::string_view text, char rare);

static_assert(kHeadingFound.size() == 56 && kHeadingWritten.size() == 56);
static_assert(kRows[0].size() == 53 && kRows[1].size() == 52 && kRows[2].size() == 52 &&
              kRows[3].size() == 52 && kRows[4].size() == 52);

}  // namespace quillet::score_key
