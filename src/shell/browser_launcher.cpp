#include "browser_launcher.h"

#include <QDesktopServices>

namespace quillet {

bool DesktopBrowserLauncher::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

}  // namespace quillet
