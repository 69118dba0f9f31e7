// Start-up: the version text, the command line, one instance per user and
// settings store, and the hand-over from the splash window to the main window.
#include <QLabel>
#include <QTimer>

#include "app_info.h"
#include "frm_splash.h"
#include "main_window_driver.h"
#include "startup.h"

namespace quillet::test {
namespace {

TEST(VersionText, RevisionIsShownOnlyWhenNotZero) {
    struct Case {
        int major, minor, revision;
        const char* text;
    };
    for (const Case& c : {Case{1, 0, 0, "Version 1.0"}, Case{1, 2, 7, "Version 1.2.7"},
                          Case{2, 10, 0, "Version 2.10"}, Case{0, 0, 12, "Version 0.0.12"}}) {
        EXPECT_EQ(make_version_text(c.major, c.minor, c.revision), c.text);
    }
}

TEST(CommandLine, OnlyTheSettingsFileIsAccepted) {
    struct Case {
        QStringList arguments;
        std::optional<QString> settings_file;
    };
    const Case cases[] = {
        {{"quillet"}, QString()},
        {{"quillet", "--settings", "/w/q.ini"}, QString("/w/q.ini")},
        {{"quillet", "--settings=/w/q.ini"}, QString("/w/q.ini")},
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
        } else {
            EXPECT_FALSE(error.isEmpty());
        }
    }
}

TEST(SingleInstance, ASecondStartOnTheSameStoreIsRefused) {
    application();
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
}

class StartUp : public MainWindowTest {};

TEST_F(StartUp, SplashThenMainWindowWithTheCatalogueByStudent) {
    write_file(html + "zz.htm", "<html></html>");
    write_file(html + "1234/1234analysis.htm", "<html></html>");
    write_file(html + "Fennick/brown.htm", "<html></html>");
    configure();
    gSortChoice = SortChoice{3, false};

    QStringList splash_texts;
    bool splash_shown = false;
    auto settings = [&]() -> cSys_vars& {
        // Called while the splash window is up.
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* splash = qobject_cast<frmSplash*>(top); splash && splash->isVisible()) {
                splash_shown = true;
                EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
                for (const char* label : {"lblTitle", "lblAppDesc", "Label1", "lblVersion"}) {
                    splash_texts << splash->findChild<QLabel*>(label)->text();
                }
            }
        }
        sys = sandbox.make();
        return *sys;
    };
    window = start_up(settings, browser, prompts);

    EXPECT_TRUE(splash_shown);
    EXPECT_EQ(splash_texts,
              QStringList({"Quillet",
                           "Quillet converts reports for printing from Word 2000 or Internet "
                           "Explorer 5",
                           "Initialising...", gstrVersion}));
    EXPECT_TRUE(gblnSplashDone);
    EXPECT_EQ(gSortChoice.gintSortKey, 0);
    EXPECT_TRUE(gSortChoice.gblnSortAscending);
    EXPECT_EQ(gstrVersion, make_version_text(QUILLET_VERSION_MAJOR, QUILLET_VERSION_MINOR,
                                             QUILLET_VERSION_PATCH));
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Quillet");
    EXPECT_EQ(action("mnuHelp_About")->text(), "&About - Quillet " + gstrVersion);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(qobject_cast<frmSplash*>(top) != nullptr && top->isVisible());
    }
    QStringList names;
    for (int r = 0; r < model().rowCount(); ++r) {
        names << model().index(r, 2).data().toString();
    }
    EXPECT_EQ(names, QStringList({"1234analysis", "brown", "zz"}));
    EXPECT_EQ(current_row(), 1);
}

}  // namespace
}  // namespace quillet::test
