// The convert and list commands of the main window, driven through its buttons
// and menus, checked by the grid they leave and the documents they write.
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "main_window_driver.h"

namespace quillet::test {
namespace {

class ConvertCommand : public MainWindowTest {};

TEST_F(ConvertCommand, FennickBatchNamesTheStudentByTheDocumentFromEitherFolder) {
    write_file(fennick + "jones.fnr", fennick_report());
    write_file(fennick + "brown.fnr", fennick_report());
    open_window();
    trigger("mnuRep_Fennick");
    EXPECT_EQ(grid_text(model()), kListHeader + listed(1, "brown", "Fennick/brown") +
                                      listed(2, "jones", "Fennick/jones"));

    // Dorrant's folder when that is the choice.
    const QString database = sandbox.make_folder("dorrant/db");
    write_file(database + "smith.fnr", fennick_report());
    sys->set_Gen_FennickChoice(1);
    sandbox.write_dorrant("[Paths]\r\ndatabase=" + database.toUtf8() + "\r\n");
    click(find<QPushButton>("cmdConvertFennick"));
    EXPECT_EQ(report_names(), QStringList{"smith"});
    EXPECT_TRUE(QFileInfo(html + "Fennick/smith.htm").isFile());
}

TEST_F(ConvertCommand, OrvellaBatchIsListedAfterItsDocumentsAreWrittenAndAsksBeforeOverwriting) {
    write_file(orvella + "~drntrpa01.tmp", orvella_report("4711"));
    write_file(orvella + "~drntrpa02.tmp", "not a report\r\n");
    write_file(orvella + "~drntrpd01.tmp", orvella_report("4711"));
    write_file(orvella + "notes.tmp", orvella_report("9999"));
    configure(1);  // ask before overwriting
    open_window();
    click(find<QPushButton>("cmdConvertOrvella"));
    ASSERT_TRUE(prompts.questions.empty());
    EXPECT_EQ(grid_text(model()), kListHeader + listed(1, "4711", "4711/Analysis") +
                                      "2 | Temp |  |  | Invalid Orvella report.\n" +
                                      listed(3, "4711", "4711/Dyslexia"));
    EXPECT_TRUE(is_greyed_out(row_colours(2)));
    EXPECT_EQ(current_row(), 1);
    EXPECT_TRUE(find<QLabel>("lblPromptUser")->isVisible());
    EXPECT_FALSE(find<QProgressBar>("batchProgress")->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Second run: both documents exist. The questions come in the middle of
    // the batch, so the grid is seen as the user sees it then.
    std::vector<std::string> seen;
    prompts.on_question = [&] {
        seen.push_back(grid_text(model()));
        EXPECT_TRUE(find<QProgressBar>("batchProgress")->isVisible());
        EXPECT_TRUE(find<QPushButton>("cmdCancelBatch")->isVisible());
        prompts.answer = !prompts.answer;
    };
    prompts.answer = true;  // flipped to No for the first question
    trigger("mnuRep_Orvella");

    ASSERT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(prompts.questions[0].title, "Convert Option");
    EXPECT_EQ(prompts.questions[0].text,
              "An HTML version of the Orvella Report already exists.\n"
              "Do you want me to overwrite it with a newly converted one?");
    const std::string header =
        "No. | Source filename | Student Number | Report name | Date | Converted? | Comment\n";
    EXPECT_EQ(seen[0], header);
    EXPECT_EQ(seen[1], header +
                           "1 | ~drntrpa01 | 4711 |  |  | No | HTML Report already exists\n"
                           "2 | ~drntrpa02 | Temp |  |  | No | Invalid Orvella report.\n");
    EXPECT_EQ(grid_text(model()),
              kListHeader +
                  std::string("1 | 4711 |  |  | HTML Report already exists\n"
                              "2 | Temp |  |  | Invalid Orvella report.\n") +
                  listed(3, "4711", "4711/Dyslexia", "Overwrote existing HTML Report"));
}

TEST_F(ConvertCommand, ShowHtmlReportsListsTheCatalogueAndNoSourceReportsKeepsTheGrid) {
    write_file(orvella + "notes.tmp", orvella_report("1"));
    open_window();
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_FALSE(find<QLabel>("lblPromptUser")->isVisible());
    EXPECT_EQ(current_row(), 0);

    write_documents({"a.htm", "Fennick/jones.htm", "4711/4711analysis.htm"});
    click(find<QPushButton>("cmdShowReports"));
    const std::string catalogue =
        kListHeader + listed(1, "4711", "4711/4711analysis", "Orvella Analysis Report") +
        listed(2, "", "a", "A HTML Document") +
        listed(3, "jones", "Fennick/jones", "Fennick Report");
    EXPECT_EQ(grid_text(model()), catalogue);
    EXPECT_EQ(current_row(), 1);
    EXPECT_TRUE(find<QLabel>("lblPromptUser")->isVisible());

    // No source reports: the message, and the grid stays.
    for (const auto& [command, folder] :
         {std::pair{"cmdConvertOrvella", orvella}, std::pair{"cmdConvertFennick", fennick}}) {
        prompts.informations.clear();
        click(find<QPushButton>(command));
        ASSERT_EQ(prompts.informations.size(), 1u) << command;
        EXPECT_EQ(prompts.informations[0].title, "Quillet");
        // The designed text, and the folder searched on a line of its own.
        EXPECT_EQ(prompts.informations[0].text,
                  "Could not find any Reports in the Orvella or Fennick Folder to convert to "
                  "HTML.\n" +
                      QDir::toNativeSeparators(folder));
        EXPECT_EQ(grid_text(model()), catalogue) << command;
    }
    EXPECT_EQ(sys->Rep_FileCount(), 0);
    // The row left standing still opens the document it shows.
    double_click(grid().viewport(), row_centre(grid(), 1));
    EXPECT_EQ(browser.opened(), std::vector<QString>{html + "4711/4711analysis.htm"});

    // An emptied folder: only the header row; the prompt stays.
    QDir(html).removeRecursively();
    QDir().mkpath(html);
    trigger("mnuRep_Show");
    EXPECT_EQ(model().rowCount(), 0);
    EXPECT_EQ(current_row(), 0);
    EXPECT_TRUE(find<QLabel>("lblPromptUser")->isVisible());
}

}  // namespace
}  // namespace quillet::test
