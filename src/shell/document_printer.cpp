#include "document_printer.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>

#include "document_html.h"

namespace quillet {

namespace {

// Documents are printed whole; this only keeps a damaged file from taking
// all memory.
constexpr qsizetype kPrintLimit = 256 * 1024 * 1024;

}  // namespace

bool DesktopPrintDialogs::setup(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString DesktopPrintDialogs::pdf_folder(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Export as PDF"));
}

QString print_document(const QString& path, QPagedPaintDevice& device) {
    const DocumentHtml document = read_document_html(path, kPrintLimit);
    if (!document.error.isEmpty()) {
        return document.error;
    }
    QTextDocument text;
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(10);
    text.setDefaultFont(arial);
    text.setHtml(page_breaks_for_print(document.html));
    text.print(&device);
    return {};
}

QString export_pdf(const QString& path, const QString& pdf_file) {
    QSaveFile file(pdf_file);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Quillet"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        if (QString failure = print_document(path, writer); !failure.isEmpty()) {
            file.cancelWriting();
            return failure;
        }
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

QString pdf_file_name(const QString& student, const QString& report) {
    QString name = student.trimmed();
    const QString title = report.trimmed();
    if (name.compare(title, Qt::CaseInsensitive) != 0) {
        name += (name.isEmpty() || title.isEmpty() ? QString() : QStringLiteral(" ")) + title;
    }
    for (QChar& c : name) {
        if (c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c)) {
            c = u'_';
        }
    }
    while (name.startsWith(u'.') || name.startsWith(u' ')) {
        name.remove(0, 1);
    }
    if (name.isEmpty()) {
        name = QStringLiteral("document");
    }
    return name + QStringLiteral(".pdf");
}

}  // namespace quillet
