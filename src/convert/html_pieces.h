// Fixed pieces of HTML that the document writers put together.
#pragma once

#include <string_view>

namespace quillet::html {

inline constexpr std::string_view kLineEnd = "\r\n";

// Paragraph tags.
inline constexpr std::string_view kParagraph = "<P>";
inline constexpr std::string_view kParagraphCentred = "<P ALIGN=\"CENTER\">";
inline constexpr std::string_view kPre = "<PRE>";
inline constexpr std::string_view kPreCentred = "<PRE ALIGN=\"CENTER\">";

// Font tags (never closed).
inline constexpr std::string_view kFontArial2 = "<Font FACE = \"Arial\" SIZE=2>";
inline constexpr std::string_view kFontArial3 = "<Font FACE = \"Arial\" SIZE=3>";
inline constexpr std::string_view kFontArial5 = "<Font FACE = \"Arial\" SIZE=5>";
inline constexpr std::string_view kFontCourier3 = "<Font FACE = \"Courier New\" SIZE=3>";

// A page break: two halves joined by a bare LF.
inline constexpr std::string_view kPageBreak =
    "<H1 class=\"pagebreak\"><HR></H1>\n<br clear=all style='page-break-after:always'>";

// A centred bold title around a text.
inline constexpr std::string_view kCentredOpen = "<P ALIGN=\"CENTER\"><B>";
inline constexpr std::string_view kCentredClose = "</B></P>";

// Two-column tables built from TAB-separated lines.
inline constexpr std::string_view kTableOpen = "<TABLE CELLSPACING=1 CELLPADDING=0>";
inline constexpr std::string_view kTableClose = "</TABLE>";
inline constexpr std::string_view kRowLabelOpen = "<TR><TD WIDTH=150><P>";
inline constexpr std::string_view kValueOpen = "<TD WIDTH=500><P>";
inline constexpr std::string_view kCellClose = "</P></TD>";
inline constexpr std::string_view kRowClose = "</TR>";

}  // namespace quillet::html
