// Start-up: the command line, the one-instance rule, the splash window and the
// hand-over to the main window.
#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "single_instance.h"

class QWidget;

namespace quillet {

class BrowserLauncher;
class UserPrompts;
class cSys_vars;
class frmMain;

// `quillet [--settings FILE]`, `quillet --help`, `quillet --version`: what to
// do, and the settings file (empty for the user's own store).
struct CommandLine {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    QString settings_file;
};
// Nullopt (with a message in error) for anything else.
std::optional<CommandLine> parse_command_line(const QStringList& arguments, QString* error);
// What --help and --version print.
QString help_text();
QString version_text();

// Whether the environment names a display the window can open on: DISPLAY
// or WAYLAND_DISPLAY, or a platform of QT_QPA_PLATFORM that needs neither.
bool display_named(const QProcessEnvironment& environment);

// Brings a window to the front: un-minimised, raised and activated, with the
// activation token of the start that asked for it where the platform takes one.
void bring_to_front(QWidget& window, const QByteArray& token);

// Builds the version text, fills the heading table, shows the splash window,
// resets the sort choice, creates the settings object (settings()) and its
// catalogue, waits for the splash timer, then shows and returns the main window.
std::unique_ptr<frmMain> start_up(const std::function<cSys_vars&()>& settings,
                                  BrowserLauncher& browser, UserPrompts& prompts);

// The whole program; returns the exit code.
int run_quillet(int argc, char* argv[]);

}  // namespace quillet
