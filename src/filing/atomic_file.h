// A document written beside its final name and put in place in one step, so
// that readers see either the old document or the whole new one, never a
// part. Nothing of an unfinished write stays behind.
#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string_view>

namespace quillet {

// The mode bits of what is at path (links followed), or nothing when there
// is nothing there.
std::optional<unsigned> existing_mode(const QString& path);

class AtomicFile {
public:
    explicit AtomicFile(QString path);
    ~AtomicFile();  // discards an uncommitted write
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Each returns false with the system's reason in error().
    bool open();
    // As open(), for a caller that has just looked at the path with
    // existing_mode().
    bool open(std::optional<unsigned> mode_there);
    bool write(std::string_view bytes);
    // Puts the written bytes in place of the file (creating or replacing it).
    bool commit();
    void discard();

    const QString& error() const { return error_; }
    // The document's last-modified time (UTC), once committed.
    const QDateTime& modified() const { return modified_; }

private:
    bool fail_with_errno();
    bool close_committed();

    QString path_;
    QString temporary_path_;  // a named temporary file; empty for an unnamed one
    int fd_ = -1;
    QString error_;
    QDateTime modified_;
};

}  // namespace quillet
