#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app_icon.h"
#include "app_info.h"
#include "browser_launcher.h"
#include "desktop_colour_scheme.h"
#include "frm_main.h"
#include "frm_splash.h"
#include "report_catalogue.h"
#include "section_headings.h"
#include "shell_globals.h"
#include "sys_vars.h"
#include "user_prompts.h"
#include "view_state.h"

namespace quillet {

std::optional<CommandLine> parse_command_line(const QStringList& arguments, QString* error) {
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (argument == QLatin1String("--version")) {
            line.action = CommandLine::Action::Version;
            return line;
        }
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
            *error = QStringLiteral("unknown argument %1 (try --help)").arg(argument);
            return std::nullopt;
        }
    }
    return line;
}

QString help_text() {
    return QStringLiteral(
        "Usage:\n"
        "  quillet [--settings FILE]\n"
        "  quillet --help | --version\n"
        "\n"
        "Converts assessment reports to HTML documents, filed in one folder per student,\n"
        "and lists every converted document in a sortable grid.\n"
        "\n"
        "Options:\n"
        "  --settings FILE\n"
        "               use FILE (INI) as the settings store instead of your own.\n"
        "               One instance runs per settings file: starting it again brings\n"
        "               the running one to the front\n"
        "  --help       show this help\n"
        "  --version    show the version\n"
        "\n"
        "Exit status: 0 when the window was closed or the running instance came to the\n"
        "front, 1 no display was found or the running instance did not answer, 2 usage\n"
        "error.\n");
}

QString version_text() {
    return QStringLiteral("quillet " QUILLET_VERSION "\n");
}

bool display_named(const QProcessEnvironment& environment) {
    const auto set = [&](const char* name) {
        return !environment.value(QLatin1String(name)).isEmpty();
    };
    // QT_QPA_PLATFORM is a list of platforms tried in turn, each with options
    // after a colon.
    const QStringList platforms =
        environment.value(QStringLiteral("QT_QPA_PLATFORM")).split(u';', Qt::SkipEmptyParts);
    if (platforms.isEmpty()) {
        return set("DISPLAY") || set("WAYLAND_DISPLAY");
    }
    for (const QString& platform : platforms) {
        const QString name = platform.section(u':', 0, 0).trimmed();
        if (name == QLatin1String("xcb")) {
            if (set("DISPLAY")) {
                return true;
            }
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (set("WAYLAND_DISPLAY")) {
                return true;
            }
        } else if (!name.isEmpty()) {
            return true;  // offscreen, minimal, eglfs, vnc...: no display server needed
        }
    }
    return false;
}

void bring_to_front(QWidget& window, const QByteArray& token) {
    // Qt's Wayland platform hands this token to the compositor with the
    // activation request, which lets the window take the focus.
    if (!token.isEmpty() && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        qputenv("XDG_ACTIVATION_TOKEN", token);
    }
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

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

namespace {

// Qt's messages while the application object opens the display. They are
// held back, and passed on once it is open; a display that cannot be opened
// ends the program with one line instead of Qt's abort.
QList<std::pair<QtMsgType, QString>> held_messages;

void hold_message(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        held_messages.append({type, message});
        return;
    }
    const QString why = held_messages.isEmpty() ? message : held_messages.constFirst().second;
    std::fprintf(stderr, "quillet: no display found (%s)\n",
                 qUtf8Printable(why.section(u'\n', 0, 0)));
    std::_Exit(1);
}

class DisplayGuard {
public:
    DisplayGuard() : previous_(qInstallMessageHandler(hold_message)) {}
    ~DisplayGuard() {
        qInstallMessageHandler(previous_);
        for (const auto& [type, message] : std::exchange(held_messages, {})) {
            qt_message_output(type, QMessageLogContext(), message);
        }
    }
    DisplayGuard(const DisplayGuard&) = delete;
    DisplayGuard& operator=(const DisplayGuard&) = delete;

private:
    QtMessageHandler previous_;
};

// The application object, on the display.
std::unique_ptr<QApplication> open_display(int& argc, char* argv[]) {
    const DisplayGuard guard;
    return std::make_unique<QApplication>(argc, argv);
}

// The token a launcher gave this start to activate a window with.
QByteArray activation_token() {
    QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN");
    return token.isEmpty() ? qgetenv("DESKTOP_STARTUP_ID") : token;
}

}  // namespace

int run_quillet(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QString error;
    const std::optional<CommandLine> line = parse_command_line(arguments, &error);
    if (!line) {
        std::fprintf(stderr, "quillet: %s\nUsage: quillet [--settings FILE]\n",
                     qUtf8Printable(error));
        return 2;
    }
    if (line->action != CommandLine::Action::Run) {
        const QString text =
            line->action == CommandLine::Action::Help ? help_text() : version_text();
        std::fputs(qUtf8Printable(text), stdout);
        return 0;
    }
    if (!display_named(QProcessEnvironment::systemEnvironment())) {
        std::fputs("quillet: no display found (DISPLAY and WAYLAND_DISPLAY are not set)\n", stderr);
        return 1;
    }

    const QString store = line->settings_file.isEmpty() ? cSys_vars::user_options().settings_file
                                                        : line->settings_file;
    // Declared first so that it outlives the hand-over server and the windows.
    std::unique_ptr<QApplication> app;
    SingleInstance instance(store);
    if (!instance.acquired()) {
        const QCoreApplication core(argc, argv);
        if (instance.hand_over(activation_token())) {
            return 0;
        }
        std::fprintf(stderr, "quillet: Quillet already runs on %s but did not come to the front\n",
                     qUtf8Printable(QDir::toNativeSeparators(store)));
        return 1;
    }

    app = open_display(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
    QApplication::setDesktopFileName(kDesktopFileName);
    QApplication::setWindowIcon(application_icon());
    const DesktopColourScheme desktop_scheme;

    // A later start on the same store asks for the window: before it is
    // shown, it comes to the front as soon as it is.
    QPointer<QWidget> main_window;
    std::optional<QByteArray> asked;
    instance.listen([&](const QByteArray& token) {
        if (main_window) {
            bring_to_front(*main_window, token);
        } else {
            asked = token;
        }
    });
    if (!line->settings_file.isEmpty()) {
        use_settings_file_for_gSys_vars(line->settings_file);
    }

    DesktopBrowserLauncher browser;
    MessageBoxPrompts prompts;
    const std::unique_ptr<frmMain> window =
        start_up([]() -> cSys_vars& { return gSys_vars(); }, browser, prompts);
    main_window = window.get();
    if (asked) {
        bring_to_front(*window, *asked);
    }
    return QApplication::exec();
}

}  // namespace quillet
