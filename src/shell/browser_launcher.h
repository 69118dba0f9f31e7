// Opening documents and web addresses in the user's browser, behind an
// interface so that tests can watch what would be opened.
#pragma once

#include <QUrl>

namespace quillet {

class BrowserLauncher {
public:
    virtual ~BrowserLauncher() = default;
    // Asks for a new browser window showing url. Returns false when no browser
    // could be started; never throws.
    virtual bool open(const QUrl& url) = 0;
};

// The desktop's default browser.
class DesktopBrowserLauncher final : public BrowserLauncher {
public:
    bool open(const QUrl& url) override;
};

}  // namespace quillet
