// The text index of the converted documents: a cache of every document's
// plain text beside the catalogue, so that the documents can be searched.
// Deleting it loses nothing; a damaged or foreign index file is rebuilt.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace quillet {

struct SearchHit {
    QString path;     // absolute path of the document
    QString student;  // as the grid's "Student Number" column shows it
    QString report;   // report name (file name without .htm, as the catalogue has it)
    QString date;     // the catalogue's date text of the document
    QString snippet;  // one line of text, matches between U+FDD0 (start) and U+FDD1 (end)
    double rank = 0;  // lower is better (bm25)
};

struct SearchResult {
    std::vector<SearchHit> hits;
    QString error;  // one line, for a malformed query
};

// Safe from several processes at once (WAL, busy timeout). Not shared between
// threads: each thread opens its own DocumentIndex.
class DocumentIndex {
public:
    // $XDG_CACHE_HOME/Quillet/<hash of the HTML reports folder>.sqlite (default ~/.cache)
    static QString location_for(const QString& html_folder);

    // Opens or creates (0600) the index, rebuilding a damaged or foreign file.
    explicit DocumentIndex(const QString& html_folder);
    DocumentIndex(const QString& html_folder, const QString& index_file);
    ~DocumentIndex();
    DocumentIndex(const DocumentIndex&) = delete;
    DocumentIndex& operator=(const DocumentIndex&) = delete;

    bool ok() const;
    QString error() const;

    // Brings the index up to date with the folder (size + mtime compare;
    // re-reads changed, adds new, drops removed). progress(done, total) is
    // called now and then; returning false cancels (what is done stays done).
    // Returns false when cancelled or failed.
    bool refresh(const std::function<bool(qint64 done, qint64 total)>& progress = {});
    // True when refresh() would have to read every document (no index yet, or rebuilt).
    bool needs_full_build() const;
    // A document that was just written (or removed) by this program.
    void update_document(const QString& path);
    // The same for several documents, in few transactions.
    void update_documents(const QStringList& paths);
    SearchResult search(const QString& query, int limit = 100) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quillet
