// Opening the document of the selected grid row in the browser: double-click,
// Enter, File > Open and the grid's context menu.
#include <QDir>
#include <QHeaderView>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>

#include "main_window_driver.h"

namespace quillet::test {
namespace {

class OpenDocument : public MainWindowTest {
protected:
    void write_catalogue() {
        write_documents({"4711/4711analysis.htm", "Fennick/Jones.htm", "top.htm"});
    }
    // Writes report entries into the list and their rows into the grid in the
    // view gblnShowConversionColumns chooses.
    void show_entries(const std::vector<ReportEntry>& entries) {
        sys->set_Rep_FileCount(static_cast<int>(entries.size()));
        window->pr_Set_Up_Grid();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const int n = static_cast<int>(i) + 1;
            sys->entry(n) = entries[i];
            window->pr_Fill_Grid_Row(n);
        }
    }
    static ReportEntry entry(const char* folder, const char* name, bool converted) {
        ReportEntry e;
        e.Rep_DestinationPath = QString::fromLatin1(folder);
        e.Rep_DestinationFilename = QString::fromLatin1(name);
        e.Rep_Converted = converted;
        e.Rep_ReportType = 2;
        return e;
    }
};

TEST_F(OpenDocument, EnterOpensTheRowsDocumentOtherInputNothingAndPathsFollowTheDisk) {
    open_window();  // an empty list: nothing to open
    double_click(grid().viewport(), QPoint(20, 20));
    press_key(&grid(), Qt::Key_Return);
    trigger("mnuFile_Open");
    trigger("mnuPopup_Open");
    EXPECT_TRUE(browser.urls.empty());
    write_catalogue();
    trigger("mnuRep_Show");
    ASSERT_EQ(model().rowCount(), 3);  // 4711analysis, jones, top

    // Enter on the main keys and on the keypad (the other ways of opening are
    // the commands' own tests).
    for (const auto& [key, row, document] :
         {std::tuple{Qt::Key_Return, 3, "top.htm"},
          std::tuple{Qt::Key_Enter, 1, "4711/4711analysis.htm"}}) {
        browser.urls.clear();
        select_row(row);
        press_key(&grid(), key);
        EXPECT_EQ(browser.opened(), std::vector<QString>{html + document}) << key;
    }

    browser.urls.clear();
    select_row(1);
    press_key(&grid(), Qt::Key_Space);
    press_key(&grid(), Qt::Key_A);
    click(grid().viewport(), row_centre(grid(), 2), Qt::MiddleButton);
    QHeaderView* header = grid().horizontalHeader();
    double_click(header->viewport(), QPoint(header->sectionPosition(1) + 5, header->height() / 2));
    EXPECT_FALSE(find<QMenu>("mnuPopup")->isVisible());
    EXPECT_TRUE(browser.urls.empty());

    // The conversion view opens only the converted rows.
    gblnShowConversionColumns = true;
    show_entries({entry("4711", "Analysis", false), entry("4711", "Dyslexia", true)});
    ASSERT_EQ(model().columnCount(), 7);

    double_click(grid().viewport(), row_centre(grid(), 1));
    EXPECT_TRUE(browser.urls.empty());
    double_click(grid().viewport(), row_centre(grid(), 2));
    EXPECT_EQ(browser.opened(), std::vector<QString>{html + "4711/Dyslexia.htm"});

    // In the list view every row opens.
    browser.urls.clear();
    gblnShowConversionColumns = false;
    show_entries({entry("4711", "Analysis", false)});
    double_click(grid().viewport(), row_centre(grid(), 1));
    EXPECT_EQ(browser.opened(), std::vector<QString>{html + "4711/Analysis.htm"});

    // The document's path follows the folder on disk.
    ASSERT_TRUE(QDir(html).rename("Fennick", "fennick"));
    browser.urls.clear();
    show_entries({entry("", "loose", true), entry("Fennick", "smith", true),
                  entry("5555", "Analysis", true)});
    for (int n = 1; n <= 3; ++n) {
        select_row(n);
        press_key(&grid(), Qt::Key_Return);
    }
    EXPECT_EQ(browser.opened(),
              (std::vector<QString>{html + "loose.htm", html + "fennick/smith.htm",
                                    html + "5555/Analysis.htm"}));
}

// The desktop's launcher, xdg-open, found on PATH as a stand-in that exits
// with a status of its own (or found nowhere): a document or folder that could
// not be shown is told until dismissed, by name, with what to do.
TEST_F(OpenDocument, ALauncherThatFailsIsToldUntilDismissed) {
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS")) {
        GTEST_SKIP() << "a session bus may have a file manager that would open a window";
    }
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "ThreadSanitizer does not follow a program started by a threaded process";
#endif
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    struct RestorePath {
        QByteArray path;
        ~RestorePath() { qputenv("PATH", path); }
    } restore{path};
    qputenv("PATH", bin.path().toUtf8());
    write_catalogue();
    DesktopBrowserLauncher launcher;
    open_window(&launcher);
    const QString document = html + "4711/4711analysis.htm";

    // The stand-in's script (nullptr: none), the command, and three parts of
    // what is told: what could not be shown, why, and what to do.
    const std::tuple<const char*, const char*, QString, QString, QString> cases[] = {
        {"exit 3", "mnuFile_Open", "Could not show the document\n" + document + "\n",
         "no method available (exit status 3)", "xdg-settings set default-web-browser"},
        {"exit 3", "mnuPopup_ShowInFolder",
         "Could not show the folder of the document\n" + document, "(exit status 3)",
         "xdg-mime default"},
        {"exit 4", "mnuPopup_Open", "Could not show the document", "(exit status 4)",
         "Install a web browser and xdg-utils"},
        {nullptr, "mnuFile_Open", "Could not show the document\n" + document,
         "xdg-open (from xdg-utils) is not installed.", "xdg-settings"},
    };
    for (const auto& [script, command, shown, why, what_to_do] : cases) {
        SCOPED_TRACE(std::string(command) + " " + (script ? script : "missing"));
        QFile::remove(bin.filePath("xdg-open"));
        if (script != nullptr) {
            write_file(bin.filePath("xdg-open"),
                       "#!/bin/sh\necho \"$1\" >\"$0.asked\"\n" + QByteArray(script) + "\n");
            QFile::setPermissions(bin.filePath("xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
        }
        prompts.informations.clear();
        select_row(1);
        trigger(command);
        ASSERT_TRUE(wait_until([&] { return !prompts.informations.empty(); }, 30000));
        ASSERT_EQ(prompts.informations.size(), 1u);
        const QString& text = prompts.informations[0].text;
        for (const QString& part : {shown, why, what_to_do}) {
            EXPECT_TRUE(text.contains(part)) << text.toStdString();
        }
        EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
        if (script != nullptr) {  // Show in Folder asks for the document's folder
            const QString asked = read_file(bin.filePath("xdg-open.asked")).trimmed();
            EXPECT_EQ(asked.toStdString(),
                      (std::string(command) == "mnuPopup_ShowInFolder" ? html + "4711" : document)
                          .toStdString());
        }
    }
}

}  // namespace
}  // namespace quillet::test
