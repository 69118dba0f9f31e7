// Opening documents and web addresses in the user's browser, behind an
// interface so that tests can watch what would be opened.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace quillet {

class BrowserLauncher {
public:
    // Told, on the user-interface thread, that url could not be shown and
    // why, in words.
    using Failure = std::function<void(const QUrl& url, const QString& why)>;

    virtual ~BrowserLauncher() = default;
    // Asks for a new browser window showing url. Returns false when no browser
    // could be started; never throws. A launcher that learns only later that
    // it failed tells the failure handler.
    virtual bool open(const QUrl& url) = 0;
    void set_failure_handler(Failure failure) { failure_ = std::move(failure); }

protected:
    const Failure& failure_handler() const { return failure_; }
    void report_failure(const QUrl& url, const QString& why) const {
        if (failure_) {
            failure_(url, why);
        }
    }

private:
    Failure failure_;
};

// The desktop's default browser (or file manager, for a folder): xdg-open,
// whose exit status is watched without waiting for it.
class DesktopBrowserLauncher final : public BrowserLauncher {
public:
    bool open(const QUrl& url) override;
};

// What went wrong when xdg-open ended with exit_code (crashed: it did not end
// by itself).
QString launcher_failure(int exit_code, bool crashed);
// The message for url that could not be shown: what it is (for a folder, the
// document it was opened for, when known), why (from the launcher), and what
// to install or set to put it right.
QString not_shown_message(const QUrl& url, const QString& why, const QString& document = {});

}  // namespace quillet
