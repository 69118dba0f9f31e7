// One quick look at a text line that tells which of the block steps it needs.
#pragma once

#include <cstddef>
#include <string_view>

namespace quillet {

struct LineShape {
    std::size_t tabs = 0;          // the number of TABs, but at most 2
    bool blank_pair = false;       // two blanks side by side somewhere
    bool carriage_return = false;  // a CR inside the line
    bool markup = false;           // a "<" or ">"
    bool tilde = false;            // a "~": the line may hold style codes
};

LineShape shape_of(std::string_view line);

}  // namespace quillet
