// Keeps the text index current as a batch writes documents: any thread hands
// in the paths it wrote, and one thread of the feed's own writes them to the
// index, many to a transaction. The index is a cache: a failure here never
// touches a conversion, and an index that does not exist yet is left for the
// first search to build.
#pragma once

#include <QString>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quillet {

class DocumentIndexFeed {
public:
    explicit DocumentIndexFeed(QString html_folder);
    // Writes what was handed in, then stops.
    ~DocumentIndexFeed();
    DocumentIndexFeed(const DocumentIndexFeed&) = delete;
    DocumentIndexFeed& operator=(const DocumentIndexFeed&) = delete;

    // Any thread: the document at path was just written.
    void add(const QString& path);

private:
    void write();

    const QString html_folder_;
    std::mutex mutex_;
    std::condition_variable wake_;
    QStringList pending_;
    bool stopping_ = false;
    std::thread writer_;
};

}  // namespace quillet
