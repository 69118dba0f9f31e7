// Start-up: the command line, the one-instance rule, the splash window and the
// hand-over to the main window.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QApplication;
class QLockFile;

namespace quillet {

class BrowserLauncher;
class UserPrompts;
class cSys_vars;
class frmMain;

// `quillet [--settings FILE]`: the settings file, empty for the user's own store.
struct CommandLine {
    QString settings_file;
};
// Nullopt (with a message in error) for anything but the one option.
std::optional<CommandLine> parse_command_line(const QStringList& arguments, QString* error);

// Held for the life of the process: a second start on the same settings store
// by the same user does not get it.
class SingleInstance {
public:
    explicit SingleInstance(const QString& settings_file);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool acquired() const { return acquired_; }
    // The lock file used for settings_file.
    static QString lock_path(const QString& settings_file);

private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

// Builds the version text, fills the heading table, shows the splash window,
// resets the sort choice, creates the settings object (settings()) and its
// catalogue, waits for the splash timer, then shows and returns the main window.
std::unique_ptr<frmMain> start_up(const std::function<cSys_vars&()>& settings,
                                  BrowserLauncher& browser, UserPrompts& prompts);

// The whole program on an application object; returns the exit code.
int run_quillet(QApplication& app);

}  // namespace quillet
