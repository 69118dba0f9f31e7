// The table of contents: a title and one single-row table per heading of the
// report kind, indented by the heading's level.
#include <string>

#include "directive_number.h"
#include "html_pieces.h"
#include "report_document.h"

namespace quillet {

void ReportDocument::pr_Write_Table_Of_Contents() {
    fn_WrapInStyles("Table of Contents", false, false, out_);
    out_ += html::kLineEnd;
    const int count = heading_count();
    std::string link;
    for (int n = 1; n <= count; ++n) {
        const auto& heading = headings_.strSectionHeading[static_cast<std::size_t>(intReportKind)]
                                                         [static_cast<std::size_t>(n)];
        out_ += "<TABLE CELLSPACING=0 CELLPADDING=0><TR>\r\n";
        link = "<A HREF=\"#SEC" + std::to_string(n) + "\">" + heading[0] + "</A>";
        const int level = read_directive_number(heading[1]).value_or(0);
        for (int column = 1; column < level; ++column) {
            out_ += "<TD WIDTH=50></TD>\r\n";
        }
        if (level >= 1) {
            out_ += "<TD WIDTH=500 HEIGHT=10>";
            fn_WrapInStyles(link, true, false, out_);
            out_ += "</TD>";
        } else {
            out_ += link;  // a level below 1 leaves the link bare
        }
        out_ += "\r\n</TR>\r\n</TABLE>\r\n";
    }
}

}  // namespace quillet
