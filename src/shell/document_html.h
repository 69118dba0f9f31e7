// A converted document read back for showing and printing: its Windows-1252
// bytes decoded, its page breaks as the preview draws them, and the places
// where a long document can be cut into pieces that are laid out one by one.
#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace quillet {

struct DocumentHtml {
    QString html;      // the decoded text, empty when the file could not be read
    QString error;     // why the file could not be read; empty on success
    bool cut = false;  // the file is longer than the limit; html holds its start
};

// Reads at most limit bytes of the document at path.
DocumentHtml read_document_html(const QString& path, qsizetype limit);

// A page break is a heading that holds a rule and ends the page, followed by
// a line break with the page-break style. A browser honours only the
// heading's; for printing the line break's is dropped as well, so that each
// page break starts one new page.
QString page_breaks_for_print(const QString& html);
// For the preview each page break becomes a single rule.
QString page_breaks_as_rules(const QString& html);

// Splits html into pieces of about piece_size characters, each cut before a
// paragraph, table, heading or rule that begins a line outside any table or
// preformatted block, so each piece is well-formed on its own. A long table is
// cut before a row: the piece closes it and the next opens it again.
std::vector<QString> document_pieces(QStringView html, qsizetype piece_size);

}  // namespace quillet
