// Handing a document on to the desktop: showing it in the file manager and
// putting its path on the clipboard.
#pragma once

#include <QString>

namespace quillet {

class BrowserLauncher;

class FileManager {
public:
    virtual ~FileManager() = default;
    // Shows the file at path selected in a file-manager window. False when
    // nothing could be shown.
    virtual bool show_item(const QString& path) = 0;
};

// Asks the desktop's file manager over D-Bus (org.freedesktop.FileManager1);
// where none answers, opens the file's folder through opener.
class DesktopFileManager final : public FileManager {
public:
    explicit DesktopFileManager(BrowserLauncher& opener) : opener_(opener) {}
    bool show_item(const QString& path) override;

private:
    BrowserLauncher& opener_;
};

// Puts path on the clipboard (and the selection, where the desktop has one).
void copy_path(const QString& path);

}  // namespace quillet
