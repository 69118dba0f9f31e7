// Start-up: the version text, the command line, the display, one instance per
// user and settings store (a second start brings the first to the front).
#include <QLocalSocket>
#include <QProcess>
#include <chrono>
#include <future>

#include "app_info.h"
#include "main_window_driver.h"
#include "startup.h"

namespace quillet::test {
namespace {

TEST(VersionText, RevisionIsShownOnlyWhenNotZero) {
    EXPECT_EQ(make_version_text(1, 2, 7), "Version 1.2.7");
    EXPECT_EQ(make_version_text(2, 10, 0), "Version 2.10");
}

TEST(CommandLine, TheSettingsFileHelpAndVersionAreAccepted) {
    using Action = CommandLine::Action;
    struct Case {
        QStringList arguments;
        std::optional<QString> settings_file;
        Action action = Action::Run;
    };
    const Case cases[] = {
        {{"quillet"}, QString()},
        {{"quillet", "--settings", "/w/q.ini"}, QString("/w/q.ini")},
        {{"quillet", "--settings=/w/q.ini"}, QString("/w/q.ini")},
        {{"quillet", "--help"}, QString(), Action::Help},
        {{"quillet", "-h"}, QString(), Action::Help},
        {{"quillet", "--version"}, QString(), Action::Version},
        {{"quillet", "--settings"}, std::nullopt},
        {{"quillet", "--settings="}, std::nullopt},
        {{"quillet", "--settings", ""}, std::nullopt},
        {{"quillet", "report.tmp"}, std::nullopt},
        {{"quillet", "--demo"}, std::nullopt},
    };
    for (const Case& c : cases) {
        QString error;
        const auto line = parse_command_line(c.arguments, &error);
        ASSERT_EQ(line.has_value(), c.settings_file.has_value())
            << c.arguments.join(' ').toStdString();
        if (line) {
            EXPECT_EQ(line->settings_file, *c.settings_file);
            EXPECT_EQ(line->action, c.action);
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
    }
}

TEST(Display, NamedByTheVariablesOfThePlatformInUse) {
    const std::pair<QStringList, bool> cases[] = {
        {{}, false},
        {{"DISPLAY=:0"}, true},
        {{"WAYLAND_DISPLAY=wayland-0"}, true},
        {{"DISPLAY="}, false},
        {{"QT_QPA_PLATFORM=offscreen"}, true},
        {{"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=wayland-0"}, false},
        {{"QT_QPA_PLATFORM=xcb:dpi=96", "DISPLAY=:1"}, true},
        {{"QT_QPA_PLATFORM=wayland-egl", "DISPLAY=:1"}, false},
        {{"QT_QPA_PLATFORM=wayland;xcb", "DISPLAY=:1"}, true},
    };
    for (const auto& [variables, named] : cases) {
        QProcessEnvironment environment(QProcessEnvironment::InheritFromParent);
        environment.clear();
        for (const QString& variable : variables) {
            environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        }
        EXPECT_EQ(display_named(environment), named) << variables.join(' ').toStdString();
    }
}

TEST(SingleInstance, ASecondStartOnTheSameStoreIsRefusedAndHandsOverItsToken) {
    QTemporaryDir dir;
    const QString store = dir.filePath("quillet.ini");
    {
        const SingleInstance first(store);
        ASSERT_TRUE(first.acquired());
        EXPECT_FALSE(SingleInstance(store).acquired());
        EXPECT_FALSE(SingleInstance(dir.path() + "/./quillet.ini").acquired());
        // Another store (the demo workspace) runs beside it.
        EXPECT_TRUE(SingleInstance(dir.filePath("demo.ini")).acquired());
    }
    EXPECT_TRUE(SingleInstance(store).acquired());

    // A later start hands its activation token to the first.
    SingleInstance first(store);
    QByteArrayList tokens;
    ASSERT_TRUE(first.listen([&](const QByteArray& token) { tokens << token; }));
    const SingleInstance later(store);
    for (const QByteArray token : {"startup_TIME42", "", "two words"}) {
        auto answered = std::async(std::launch::async, [&] { return later.hand_over(token); });
        while (answered.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready) {
            QCoreApplication::processEvents();
        }
        EXPECT_TRUE(answered.get()) << token.toStdString();
    }
    EXPECT_EQ(tokens, QByteArrayList({"startup_TIME42", "", ""}));
}

TEST(BringToFront, UnminimisesAndKeepsTheWindowMaximised) {
    for (const Qt::WindowStates before :
         {Qt::WindowStates(Qt::WindowMinimized), Qt::WindowMinimized | Qt::WindowMaximized}) {
        QWidget window;
        window.setWindowState(before);
        window.show();
        bring_to_front(window, {});
        EXPECT_FALSE(window.isMinimized());
        EXPECT_EQ(window.isMaximized(), before.testFlag(Qt::WindowMaximized));
        EXPECT_TRUE(window.isVisible());
    }
}

#ifdef QUILLET_DESKTOP_EXE
// The program itself, on a throw-away settings file.
struct Program {
    QTemporaryDir dir;
    QString settings = dir.filePath("quillet.ini");
    std::unique_ptr<QProcess> start(const QStringList& args, const QStringList& unset = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A display where none answers, for the starts that use DISPLAY.
        environment.insert("DISPLAY", ":9999");
        for (const QString& name : unset) {
            environment.remove(name);
        }
        environment.insert("XDG_RUNTIME_DIR", dir.path());
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(QUILLET_DESKTOP_EXE), args);
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
    QString socket() const {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
        const QString path = SingleInstance::socket_path(settings);
        saved.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", saved);
        return path;
    }
};

TEST(Program, HelpVersionAndNoDisplayNeedNoDisplayAndASecondStartHandsOver) {
    const QStringList no_display = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    // The arguments, the variables unset, the exit code, and the start of what
    // is written to the output and to the errors.
    const std::tuple<QStringList, QStringList, int, QByteArray, QByteArray> cases[] = {
        {{"--version"}, no_display, 0, "quillet " QUILLET_VERSION "\n", ""},
        {{"--help"}, no_display, 0, "Usage:\n  quillet [--settings FILE]\n", ""},
        {{}, no_display, 1, "", "quillet: no display found ("},
        // A display is named, but none answers there.
        {{}, {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, 1, "", "quillet: no display found ("},
        {{"--verbose"}, {}, 2, "", "quillet: unknown argument --verbose"},
    };
    for (const auto& [args, unset, exit_code, expected_out, expected_err] : cases) {
        Program program;
        const auto process =
            program.start(args + QStringList{"--settings", program.settings}, unset);
        EXPECT_EQ(wait_for_exit(*process, 30000), exit_code) << args.join(' ').toStdString();
        const QByteArray out = process->readAllStandardOutput();
        const QByteArray err = process->readAllStandardError();
        EXPECT_TRUE(out.startsWith(expected_out)) << out.toStdString();
        EXPECT_TRUE(err.startsWith(expected_err)) << err.toStdString();
        if (exit_code == 1) {
            EXPECT_EQ(err.count('\n'), 1) << err.toStdString();  // one line, not Qt's abort
        }
    }

    // A second start hands over to the first.
    Program program;
    const auto first = program.start({"--settings", program.settings});
    // The first listens once it has the lock.
    QLocalSocket probe;
    for (int tries = 0; tries < 300 && probe.state() != QLocalSocket::ConnectedState; ++tries) {
        first->waitForFinished(100);
        probe.connectToServer(program.socket());
        probe.waitForConnected(100);
    }
    probe.abort();
    ASSERT_EQ(first->state(), QProcess::Running) << first->readAllStandardError().toStdString();
    const auto second = program.start({"--settings", program.settings});
    EXPECT_EQ(wait_for_exit(*second, 30000), 0) << second->readAllStandardError().toStdString();
    EXPECT_EQ(first->state(), QProcess::Running);
    first->kill();
    first->waitForFinished();
}
#endif

}  // namespace
}  // namespace quillet::test
