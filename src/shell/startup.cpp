#include "startup.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <cstdio>

#include "app_icon.h"
#include "app_info.h"
#include "browser_launcher.h"
#include "desktop_colour_scheme.h"
#include "frm_main.h"
#include "frm_splash.h"
#include "section_headings.h"
#include "shell_globals.h"
#include "report_catalogue.h"
#include "sys_vars.h"
#include "user_prompts.h"
#include "view_state.h"

namespace quillet {

std::optional<CommandLine> parse_command_line(const QStringList& arguments, QString* error) {
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--settings")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                *error = QStringLiteral("--settings needs a file name");
                return std::nullopt;
            }
            line.settings_file = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--settings="))) {
            line.settings_file = argument.mid(11);
            if (line.settings_file.isEmpty()) {
                *error = QStringLiteral("--settings needs a file name");
                return std::nullopt;
            }
        } else {
            *error = QStringLiteral("unknown argument %1").arg(argument);
            return std::nullopt;
        }
    }
    return line;
}

QString SingleInstance::lock_path(const QString& settings_file) {
    // The per-user runtime folder when the session has one, else the temporary
    // folder; the key holds the user's home so that users never share a lock.
    QString folder;
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    const QString identity =
        QDir::homePath() + QLatin1Char('\n') + QFileInfo(settings_file).absoluteFilePath();
    const QByteArray key =
        QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return folder + QStringLiteral("/quillet-") + QString::fromLatin1(key) +
           QStringLiteral(".lock");
}

SingleInstance::SingleInstance(const QString& settings_file)
    : lock_(std::make_unique<QLockFile>(lock_path(settings_file))) {
    // Held for hours: only a lock whose process has gone is stale.
    lock_->setStaleLockTime(0);
    acquired_ = lock_->tryLock(0);
}

SingleInstance::~SingleInstance() = default;

std::unique_ptr<frmMain> start_up(const std::function<cSys_vars&()>& settings,
                                  BrowserLauncher& browser, UserPrompts& prompts) {
    gblnSplashDone = false;
    gstrVersion =
        make_version_text(QUILLET_VERSION_MAJOR, QUILLET_VERSION_MINOR, QUILLET_VERSION_PATCH);
    (void)standard_section_headings();

    frmSplash splash;
    splash.show();

    gSortChoice = SortChoice{};
    cSys_vars& sys = settings();
    // The sort choice the last run left, if any.
    gSortChoice = read_view_state(sys.store()).sort;
    pr_Get_List_Of_Converted_Files(sys, gSortChoice);

    while (!gblnSplashDone) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }

    auto window = std::make_unique<frmMain>(sys, browser, prompts);
    window->show();
    splash.close();
    return window;
}

int run_quillet(QApplication& app) {
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QApplication::setDesktopFileName(kDesktopFileName);
    QApplication::setWindowIcon(application_icon());
    const DesktopColourScheme desktop_scheme;

    QString error;
    const std::optional<CommandLine> line = parse_command_line(QApplication::arguments(), &error);
    if (!line) {
        std::fprintf(stderr, "quillet: %s\nUsage: quillet [--settings FILE]\n",
                     qUtf8Printable(error));
        return 2;
    }
    const QString store = line->settings_file.isEmpty() ? cSys_vars::user_options().settings_file
                                                        : line->settings_file;
    const SingleInstance instance(store);
    if (!instance.acquired()) {
        return 0;
    }
    if (!line->settings_file.isEmpty()) {
        use_settings_file_for_gSys_vars(line->settings_file);
    }

    DesktopBrowserLauncher browser;
    MessageBoxPrompts prompts;
    const std::unique_ptr<frmMain> window =
        start_up([]() -> cSys_vars& { return gSys_vars(); }, browser, prompts);
    return app.exec();
}

}  // namespace quillet
