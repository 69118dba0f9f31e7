// The fixed outline of each report kind: heading texts and levels.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quillet {

struct SectionHeadingTable {
    static constexpr int kKinds = 4;
    static constexpr int kMaxHeadings = 50;
    // [kind 0..3][heading 0..50][0 text, 1 level digit]
    std::array<std::array<std::array<std::string, 2>, kMaxHeadings + 1>, kKinds>
        strSectionHeading{};
    std::array<std::int16_t, kKinds> intSectionHeadingCount{};
};

// Fills every text, level and count.
void pr_Init_Section_Headings(SectionHeadingTable& table);

// The filled table, built once on first use and never changed.
const SectionHeadingTable& standard_section_headings();

}  // namespace quillet
