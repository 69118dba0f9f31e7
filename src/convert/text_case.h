// Letter case of Windows-1252 bytes: the report files and documents are
// single-byte text, so lower- and upper-casing works on bytes, with the
// accented letters of the code page included.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

char lower_1252(char c);
char upper_1252(char c);

// Appends text lower- or upper-cased to dest.
void append_lower_1252(std::string_view text, std::string& dest);
void append_upper_1252(std::string_view text, std::string& dest);

std::string lower_1252(std::string_view text);
std::string upper_1252(std::string_view text);

// True when both texts are equal after lower-casing.
bool equal_ignoring_case(std::string_view a, std::string_view b);

}  // namespace quillet
