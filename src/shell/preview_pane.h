// The preview beside the report grid: the selected document as a rich-text
// view. A long document shows its first piece at once and the rest is laid
// out piece by piece while the window stays responsive. Links within the
// document move the view; other links open in the browser.
#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTextBrowser>
#include <QTimer>

namespace quillet {

class BrowserLauncher;

class PreviewPane final : public QTextBrowser {
    Q_OBJECT
public:
    explicit PreviewPane(BrowserLauncher& browser, QWidget* parent = nullptr);

    // Shows the document at path; an empty path empties the pane.
    void show_document(const QString& path);
    // Says that the report named report has no document, and why.
    void show_not_converted(const QString& report, const QString& why);
    const QString& document_path() const { return path_; }
    // True when the pane shows the document at path as it is on disk now.
    bool shows(const QString& path) const;
    // Lays out the pieces still waiting, at once.
    void finish_loading();
    bool loading() const { return !pending_.isEmpty(); }

    // The preview shows at most this much of a document.
    static constexpr qsizetype kLimit = 4 * 1024 * 1024;
    // The size of the pieces that are laid out one at a time.
    static constexpr qsizetype kPieceSize = 48 * 1024;

Q_SIGNALS:
    // The whole document (or as much as the preview shows) is laid out.
    void loaded();

private:
    void follow(const QUrl& link);
    void append_next_piece();

    BrowserLauncher& browser_;
    QString path_;
    QDateTime modified_;   // of the file shown, when it was read
    bool note_ = false;    // shows why there is no document
    QStringList pending_;  // pieces still to be laid out
    QTimer next_piece_;
};

}  // namespace quillet
