// Printing a converted document and writing it as a PDF file. Its page breaks
// start new pages.
#pragma once

#include <QString>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace quillet {

// The dialogs of the print commands, behind an interface so that tests can
// answer them.
class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    // The platform's print dialog on printer; false when it was cancelled.
    virtual bool setup(QPrinter& printer, QWidget* parent) = 0;
    // The folder the PDF files go into; empty when none was chosen.
    virtual QString pdf_folder(QWidget* parent) = 0;
};

class DesktopPrintDialogs final : public PrintDialogs {
public:
    bool setup(QPrinter& printer, QWidget* parent) override;
    QString pdf_folder(QWidget* parent) override;
};

// Lays the document at path out on device's pages. Returns why it could not,
// or an empty text.
QString print_document(const QString& path, QPagedPaintDevice& device);

// Writes the document at path as the PDF file pdf_file, which appears only
// once it is complete. Returns why it could not, or an empty text.
QString export_pdf(const QString& path, const QString& pdf_file);

// "12345 Analysis.pdf": the student number and the report name (once when they
// are the same), with what a file name cannot hold replaced by "_".
QString pdf_file_name(const QString& student, const QString& report);

}  // namespace quillet
