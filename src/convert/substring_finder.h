// Finds a fixed text in many lines in time linear in the line length, however
// the line and the text repeat themselves.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class SubstringFinder {
public:
    explicit SubstringFinder(std::string_view needle);

    const std::string& needle() const { return needle_; }
    // True when text holds the needle; an empty needle is in every text.
    bool found_in(std::string_view text) const;

private:
    std::string needle_;
    // Length of the longest proper border of each prefix of the needle.
    std::vector<std::size_t> border_;
};

}  // namespace quillet
