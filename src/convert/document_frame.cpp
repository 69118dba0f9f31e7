// The head that opens every document and the lines that close it.
#include "markup_escape.h"
#include "report_document.h"

namespace quillet {

void ReportDocument::pr_Write_HTML_Header() {
    out_ += "<HTML>\r\n<HEAD>\r\n";
    out_ += "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">\r\n";
    if (fennick_head_) {
        out_ += "<META NAME=\"Fennick Report\" CONTENT=\"Student number ";
        append_escaped_attribute(strStudentNumber, out_);
        out_ += "\">\r\n<TITLE>Fennick Report for ";
        append_escaped_text(strStudentNumber, out_);
    } else {
        out_ += "<META NAME=\"Orvella ";
        append_escaped_attribute(report_name_, out_);
        out_ += " Report\" CONTENT=\"Student number ";
        append_escaped_attribute(strStudentNumber, out_);
        out_ += "\">\r\n<TITLE>Orvella ";
        append_escaped_text(report_name_, out_);
        out_ += " Report for ";
        append_escaped_text(strStudentNumber, out_);
    }
    out_ += "</TITLE>\r\n";
    out_ += "<STYLE>\r\n.pagebreak {page-break-after:always}\r\n</STYLE>\r\n</HEAD>\r\n<BODY>\r\n";
    out_ += "<FONT FACE=\"Arial\" SIZE=2>\r\n";
    out_ += "<A NAME=\"TOP\"><!-- --></A>\r\n";
}

void ReportDocument::pr_Write_HTML_Footer() {
    out_ += "</BODY>\r\n</HTML>\r\n";
}

}  // namespace quillet
