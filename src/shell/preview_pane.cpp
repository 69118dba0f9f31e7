#include "preview_pane.h"

#include <QFileInfo>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include "browser_launcher.h"
#include "document_html.h"

namespace quillet {

PreviewPane::PreviewPane(BrowserLauncher& browser, QWidget* parent)
    : QTextBrowser(parent), browser_(browser) {
    setObjectName(QStringLiteral("preview"));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    // The documents' own font, which their unclosed font tags do not carry
    // from one piece into the next.
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(10);
    document()->setDefaultFont(arial);
    next_piece_.setInterval(0);
    next_piece_.setSingleShot(true);
    connect(&next_piece_, &QTimer::timeout, this, &PreviewPane::append_next_piece);
    connect(this, &QTextBrowser::anchorClicked, this, &PreviewPane::follow);
}

void PreviewPane::show_document(const QString& path) {
    next_piece_.stop();
    pending_.clear();
    note_ = false;
    path_ = path;
    modified_ = path.isEmpty() ? QDateTime() : QFileInfo(path).lastModified();
    if (path.isEmpty()) {
        clear();
        return;
    }
    DocumentHtml document = read_document_html(path, kLimit);
    if (!document.error.isEmpty()) {
        setHtml(QStringLiteral("<p>%1</p><p>%2</p>")
                    .arg(path.toHtmlEscaped(), document.error.toHtmlEscaped()));
        Q_EMIT loaded();
        return;
    }
    QString html = page_breaks_as_rules(document.html);
    if (document.cut) {
        html += QStringLiteral(
            "\r\n<HR><P><I>The preview ends here. Open the document to read all of it.</I></P>");
    }
    std::vector<QString> pieces = document_pieces(html, kPieceSize);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        pending_ << std::move(pieces[i]);
    }
    setHtml(pieces.front());
    if (pending_.isEmpty()) {
        Q_EMIT loaded();
    } else {
        next_piece_.start();
    }
}

void PreviewPane::show_not_converted(const QString& report, const QString& why) {
    show_document({});
    note_ = true;
    QString html = QStringLiteral(
                       "<p><b>The report %1 was not converted</b>, so it has no HTML "
                       "document to show.</p>")
                       .arg(report.toHtmlEscaped());
    if (!why.isEmpty()) {
        html += QStringLiteral("<p>Why: %1</p>").arg(why.toHtmlEscaped());
    }
    setHtml(html);
}

bool PreviewPane::shows(const QString& path) const {
    return !note_ && path == path_ &&
           (path.isEmpty() || QFileInfo(path).lastModified() == modified_);
}

void PreviewPane::append_next_piece() {
    if (pending_.isEmpty()) {
        return;
    }
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertHtml(pending_.takeFirst());
    if (pending_.isEmpty()) {
        Q_EMIT loaded();
    } else {
        next_piece_.start();
    }
}

void PreviewPane::finish_loading() {
    next_piece_.stop();
    while (!pending_.isEmpty()) {
        append_next_piece();
    }
}

void PreviewPane::follow(const QUrl& link) {
    if (link.scheme().isEmpty() && link.path().isEmpty() && link.hasFragment()) {
        // The contents and the links back to the top.
        finish_loading();
        scrollToAnchor(link.fragment());
        return;
    }
    browser_.open(QUrl::fromLocalFile(path_).resolved(link));
}

}  // namespace quillet
