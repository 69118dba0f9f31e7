// The text index of the converted documents (SQLite FTS5).
#include "document_index.h"

#include <QDir>
#include <QStandardPaths>

namespace quillet {

struct DocumentIndex::Impl {
    QString folder;
    QString file;
};

QString DocumentIndex::location_for(const QString& html_folder) {
    return QDir::homePath() + QStringLiteral("/.cache/Quillet/") + html_folder;
}

DocumentIndex::DocumentIndex(const QString& html_folder)
    : DocumentIndex(html_folder, location_for(html_folder)) {}

DocumentIndex::DocumentIndex(const QString& html_folder, const QString& index_file)
    : impl_(std::make_unique<Impl>(Impl{html_folder, index_file})) {}

DocumentIndex::~DocumentIndex() = default;

bool DocumentIndex::ok() const {
    return false;
}
QString DocumentIndex::error() const {
    return QStringLiteral("not built yet");
}
bool DocumentIndex::refresh(const std::function<bool(qint64, qint64)>&) {
    return false;
}
bool DocumentIndex::needs_full_build() const {
    return true;
}
void DocumentIndex::update_document(const QString&) {}
SearchResult DocumentIndex::search(const QString&, int) const {
    return {};
}

}  // namespace quillet
