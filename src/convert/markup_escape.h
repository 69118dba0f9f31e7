// Keeps report text from turning into markup: "<" and ">" become entities,
// and inside attribute values '"' as well. "&" is left as it is.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

void append_escaped_text(std::string_view text, std::string& dest);
void append_escaped_attribute(std::string_view text, std::string& dest);

// The text with "<" and ">" escaped, made in scratch.
std::string_view escaped_text(std::string_view text, std::string& scratch);

}  // namespace quillet
