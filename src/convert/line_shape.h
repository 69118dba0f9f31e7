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

// One line of a source, found in the same pass that takes its shape.
struct ShapedLine {
    std::string_view text;  // without the LF that ends it and one CR before that
    std::size_t next = 0;   // where the next line starts
    LineShape shape;
};

// The line that starts at pos; pos must be less than source.size().
ShapedLine line_at(std::string_view source, std::size_t pos);

}  // namespace quillet
