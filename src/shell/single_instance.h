// One instance per user and settings store: the first start holds a lock file
// and listens on a local socket beside it; a later start on the same store
// asks the first to come to the front instead of opening a second window.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

namespace quillet {

class SingleInstance {
public:
    explicit SingleInstance(const QString& settings_file);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool acquired() const { return acquired_; }
    // The lock file and the socket used for settings_file: private to the
    // user (their runtime folder, the user's home in the key).
    static QString lock_path(const QString& settings_file);
    static QString socket_path(const QString& settings_file);

    // First instance (needs the application object): on_hand_over runs for
    // every later start, with the activation token it passed on (empty when
    // it had none). False when the socket cannot be opened.
    bool listen(std::function<void(const QByteArray& token)> on_hand_over);
    // Later start: asks the first instance to come to the front, passing
    // token on. True once the first has done it.
    bool hand_over(const QByteArray& token) const;

private:
    QString socket_path_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    bool acquired_ = false;
};

}  // namespace quillet
