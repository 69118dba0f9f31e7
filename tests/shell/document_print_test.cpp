// Printing the selected document and exporting the selected rows as PDF
// files: the files, their names, and one page per page break and more.
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>

#include "document_commands.h"
#include "document_printer.h"
#include "main_window_driver.h"

namespace quillet::test {
namespace {

// Three short pages, split by page breaks as the converter writes them.
const QByteArray kThreePages =
    "<HTML>\r\n<HEAD>\r\n<STYLE>\r\n.pagebreak {page-break-after:always}\r\n</STYLE>\r\n"
    "</HEAD>\r\n<BODY>\r\n<P>Page one</P>\r\n" +
    kPageBreak + "<P>Page two</P>\r\n" + kPageBreak + "<P>Page three</P>\r\n</BODY>\r\n</HTML>\r\n";

int pdf_pages(const QString& file) {
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly)) {
        return -1;
    }
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    return static_cast<int>(QString::fromLatin1(pdf.readAll()).count(page));
}

class ScriptedPrintDialogs final : public PrintDialogs {
public:
    bool setup(QPrinter& printer, QWidget*) override {
        ++setups;
        if (print_to.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(print_to);
        return true;
    }
    QString pdf_folder(QWidget*) override { return folder; }
    QString print_to;
    QString folder;
    int setups = 0;
};

TEST(PdfFileName, StudentAndReportNameMakeAFileName) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"12345", "Analysis", "12345 Analysis.pdf"},
        {"jones", "Jones", "jones.pdf"},
        {"", "notes", "notes.pdf"},
        {"a/b", "x:y*?", "a_b x_y__.pdf"},
        {"..", "", "document.pdf"},
        {" 4711 ", " Dyslexia ", "4711 Dyslexia.pdf"}};
    for (const auto& [student, report, name] : cases) {
        EXPECT_EQ(pdf_file_name(student, report), name) << student << '|' << report;
    }
}

class PrintDocuments : public MainWindowTest {
protected:
    void select_rows(std::initializer_list<int> rows) {
        grid().selectionModel()->clear();
        for (const int n : rows) {
            grid().selectionModel()->select(
                grid().model()->index(n - 1, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        grid().selectionModel()->setCurrentIndex(grid().model()->index(*rows.begin() - 1, 0),
                                                 QItemSelectionModel::NoUpdate);
    }
    ScriptedPrintDialogs dialogs;
};

TEST_F(PrintDocuments, PrintsTheSelectedDocumentAndExportsOnePdfPerSelectedRow) {
    write_file(html + "4711/Analysis.htm", kThreePages);
    write_file(html + "4711/Dyslexia.htm", kThreePages);
    write_file(html + "Fennick/Jones.htm", "<HTML><BODY><P>One page</P></BODY></HTML>");
    open_window();
    window->document_commands().use_print_dialogs(dialogs);
    const QString out = sandbox.make_folder("out");
    select_rows({2});
    dialogs.print_to = out + "printed.pdf";
    trigger("mnuFile_Print");
    EXPECT_EQ(dialogs.setups, 1);
    EXPECT_EQ(pdf_pages(out + "printed.pdf"), 3);

    // Cancelled: nothing printed.
    dialogs.print_to.clear();
    trigger("mnuFile_Print");
    EXPECT_EQ(dialogs.setups, 2);
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"printed.pdf"});
    QFile::remove(out + "printed.pdf");

    // Export writes one PDF file per selected row.
    select_rows({1, 3});
    dialogs.folder = out;
    trigger("mnuFile_ExportPdf");
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList({"4711 Analysis.pdf", "jones.pdf"}));
    EXPECT_EQ(pdf_pages(out + "4711 Analysis.pdf"), 3);
    EXPECT_EQ(pdf_pages(out + "jones.pdf"), 1);
    EXPECT_EQ(window->statusBar()->currentMessage(), "2 PDF file(s) written to " + out);

    // No folder chosen: nothing written.
    dialogs.folder.clear();
    select_rows({2});
    trigger("mnuFile_ExportPdf");
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);

    // A missing document is named and leaves no file.
    const QString empty = sandbox.make_folder("empty");
    QFile::remove(html + "Fennick/Jones.htm");
    select_rows({3});
    dialogs.folder = empty;
    trigger("mnuFile_ExportPdf");
    EXPECT_TRUE(QDir(empty).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(window->statusBar()->currentMessage().startsWith("Could not write jones.pdf: "));
}

}  // namespace
}  // namespace quillet::test
