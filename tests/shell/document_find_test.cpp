// Finding a student's documents: the filter box over the grid, opening and
// handing on the document of a filtered row, dragging rows out, and the
// search of the documents' text.
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QtTest/QTest>

#include "document_commands.h"
#include "document_handoff.h"
#include "filter_bar.h"
#include "main_window_driver.h"
#include "match_text.h"
#include "preview_pane.h"
#include "report_filter.h"
#include "text_search.h"

namespace quillet::test {
namespace {

class RecordingFileManager final : public FileManager {
public:
    bool show_item(const QString& path) override {
        shown.push_back(path);
        return true;
    }
    std::vector<QString> shown;
};

class FindDocuments : public MainWindowTest {
protected:
    void open_catalogue() {
        write_documents({"4711/Analysis.htm", "4711/Dyslexia.htm", "5822/Analysis.htm",
                         "Fennick/Jones.htm", "notes.htm"});
        open_window();
        window->document_commands().use_file_manager(file_manager);
    }
    QLineEdit& box() { return *find<QLineEdit>("filterBox"); }
    void type(const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&box(), &press);
        }
        process_events();
    }
    // "student report" of every row the grid shows.
    QStringList rows() {
        QStringList shown;
        const QAbstractItemModel& rows = *grid().model();
        for (int r = 0; r < rows.rowCount(); ++r) {
            shown << rows.index(r, 1).data().toString() + ' ' + rows.index(r, 2).data().toString();
        }
        return shown;
    }
    QString count() {
        auto* label = find<QLabel>("filterCount");
        return label->isVisibleTo(window.get()) ? label->text() : QStringLiteral("<hidden>");
    }

    // Ctrl+Shift+F, the words and Enter; waits for the answer.
    void search(const QString& query) {
        QTest::keyClick(window->windowHandle(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(box().hasFocus());
        type(query);
        press_key(&box(), Qt::Key_Return);
        ASSERT_TRUE(wait_until([this] { return !window->text_search().busy(); }));
        process_events();
    }
    QString search_status() { return find<QLabel>("searchStatus")->text(); }
    static QStringList marked(const PreviewPane& preview) {
        QStringList texts;
        for (const auto& mark : preview.extraSelections()) {
            texts << mark.cursor.selectedText();
        }
        return texts;
    }

    RecordingFileManager file_manager;
};

TEST_F(FindDocuments, EveryWordMatchesEscClearsRowsDragAndCommandsActOnTheRowsShown) {
    open_catalogue();
    EXPECT_FALSE(find<FilterBar>("filterBar")->isVisibleTo(window.get()));
    trigger("mnuView_Find");
    ASSERT_TRUE(box().isVisibleTo(window.get()));

    // What is typed, the rows shown, the count shown.
    const std::tuple<const char*, QStringList, const char*> cases[] = {
        {"",
         {"4711 analysis", "4711 dyslexia", "5822 analysis", "jones jones", " notes"},
         "<hidden>"},
        {"4711", {"4711 analysis", "4711 dyslexia"}, "2 of 5 documents"},
        {"ANALYSIS", {"4711 analysis", "5822 analysis"}, "2 of 5 documents"},
        {"dys 4711", {"4711 dyslexia"}, "1 of 5 documents"},
        {"  analysis   58 ", {"5822 analysis"}, "1 of 5 documents"},
        {"fennick", {"jones jones"}, "1 of 5 documents"},  // the comment "Fennick Report"
        {"html document", {" notes"}, "1 of 5 documents"},
        {"4711 jones", {}, "0 of 5 documents"},
        {"   ",
         {"4711 analysis", "4711 dyslexia", "5822 analysis", "jones jones", " notes"},
         "<hidden>"},
    };
    for (const auto& [typed, shown, counted] : cases) {
        box().clear();
        type(QString::fromLatin1(typed));
        EXPECT_EQ(rows(), shown) << typed;
        EXPECT_EQ(count(), counted) << typed;
    }

    // Esc clears the box, then closes it.
    box().clear();
    type("5822");
    press_key(&box(), Qt::Key_Escape);
    EXPECT_EQ(box().text(), "");
    EXPECT_EQ(rows().size(), 5);
    EXPECT_EQ(count(), "<hidden>");
    EXPECT_TRUE(box().isVisibleTo(window.get()));
    press_key(&box(), Qt::Key_Escape);
    EXPECT_FALSE(box().isVisibleTo(window.get()));

    // Dragged rows carry their documents' addresses.
    const QAbstractItemModel& listed = *grid().model();
    const std::unique_ptr<QMimeData> data(
        listed.mimeData({listed.index(0, 0), listed.index(0, 3), listed.index(3, 1)}));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->urls(), QList<QUrl>({QUrl::fromLocalFile(html + "4711/Analysis.htm"),
                                         QUrl::fromLocalFile(html + "Fennick/Jones.htm")}));
    EXPECT_TRUE(grid().dragEnabled());

    // The commands act on the entry the filtered row shows.
    trigger("mnuView_Find");
    type("analysis");

    double_click(grid().viewport(), row_centre(grid(), 2));
    EXPECT_EQ(browser.opened(), std::vector<QString>{html + "5822/Analysis.htm"});

    // Sorting keeps the filter; the first row shown is selected.
    trigger("mnuView_Desc");
    EXPECT_EQ(rows(), QStringList({"5822 analysis", "4711 analysis"}));
    EXPECT_EQ(count(), "2 of 5 documents");
    browser.urls.clear();
    press_key(&grid(), Qt::Key_Return);
    EXPECT_EQ(browser.opened(), std::vector<QString>{html + "5822/Analysis.htm"});

    click(grid().viewport(), row_centre(grid(), 2), Qt::RightButton);
    auto* popup = find<QMenu>("mnuPopup");
    ASSERT_TRUE(popup->isVisible());
    trigger("mnuPopup_CopyPath");
    EXPECT_EQ(window->statusBar()->currentMessage(),
              "Copied the path of " + QDir::toNativeSeparators("4711/Analysis.htm"));
    trigger("mnuPopup_ShowInFolder");
    popup->close();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), html + "4711/Analysis.htm");
    EXPECT_EQ(file_manager.shown, std::vector<QString>{html + "4711/Analysis.htm"});

    // A batch is filtered like the catalogue.
    write_file(orvella + "~drntrpa01.tmp", orvella_report("4711"));
    write_file(orvella + "~drntrpa02.tmp", "not a report\r\n");
    click(find<QPushButton>("cmdConvertOrvella"));
    EXPECT_EQ(rows(), QStringList({"4711 Analysis"}));
    EXPECT_EQ(count(), "1 of 2 documents");
}

TEST_F(FindDocuments,
       SearchTextListsTheMatchesBestFirstMarksThemInThePreviewAndSaysWhatIsMalformed) {
    // Documents whose text says "extra time": three times in a short one, once
    // at the end of a long one, and not as a phrase in a third.
    write_file(html + "5822/Analysis.htm",
               "<html><body><p>Extra time in exams. Extra time for reading, extra time "
               "for writing.</p></body></html>");
    write_file(html + "4711/Analysis.htm",
               "<html><body>" + QByteArray("<p>Reading at home.</p>\n").repeated(200) +
                   "<p>She needs extra time.</p></body></html>");
    write_file(html + "Fennick/Jones.htm", "<html><body><p>No time extra.</p></body></html>");
    write_file(html + "notes.htm", "<html><body><p>Notes</p></body></html>");
    open_active_window();
    search(R"("extra time")");
    EXPECT_EQ(rows(), QStringList({"5822 analysis", "4711 analysis"}));
    EXPECT_EQ(search_status(), "2 documents match");
    const QAbstractItemModel& shown = *grid().model();
    EXPECT_EQ(shown.headerData(4, Qt::Horizontal).toString(), "Match");
    // The passage is marked for the grid to draw, never for anyone to read.
    const QModelIndex match = shown.index(0, 4);
    EXPECT_TRUE(match.data().toString().startsWith("Extra time in exams"))
        << match.data().toString().toStdString();
    EXPECT_EQ(match.data(ReportGridModel::kMarkedTextRole).toString().count(kMatchStart), 3);

    double_click(grid().viewport(), row_centre(grid(), 2));
    EXPECT_EQ(browser.opened(), std::vector<QString>{html + "4711/Analysis.htm"});
    click(grid().viewport(), row_centre(grid(), 1));

    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(rows(), QStringList({"4711 analysis", "5822 analysis", "jones jones", " notes"}));
    EXPECT_EQ(shown.headerData(4, Qt::Horizontal).toString(), "Comment");
    EXPECT_FALSE(box().isVisibleTo(window.get()));
    EXPECT_EQ(current_row(), 2);  // the document chosen among the matches

    // A malformed search says so in one line, without SQL.
    search("extra AND");
    const QString said = search_status();
    EXPECT_TRUE(said.contains("extra AND")) << said.toStdString();
    EXPECT_FALSE(said.contains('\n'));
    for (const char* sql : {"sql", "fts5", "syntax error"}) {
        EXPECT_FALSE(said.contains(sql, Qt::CaseInsensitive)) << said.toStdString();
    }
    EXPECT_EQ(rows().size(), 4);

    // The preview marks the matches and scrolls to the first.
    trigger("mnuView_Preview");
    search(R"("extra time")");
    PreviewPane& preview = window->document_commands().preview();
    EXPECT_EQ(marked(preview), QStringList({"Extra time", "Extra time", "extra time"}));

    click(grid().viewport(), row_centre(grid(), 2));
    ASSERT_TRUE(wait_until([&] { return !preview.loading(); }));
    ASSERT_EQ(marked(preview), QStringList{"extra time"});
    EXPECT_GT(preview.verticalScrollBar()->value(), 0);
    const QRect first = preview.cursorRect(preview.extraSelections().front().cursor);
    EXPECT_TRUE(preview.viewport()->rect().contains(first.center()));

    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(marked(preview).isEmpty());
}

TEST_F(FindDocuments, TheFirstBuildOfTheIndexShowsItsProgressAndCanBeCancelled) {
    for (int i = 0; i < 600; ++i) {
        write_file(html + "4711/" + QString::number(i) + ".htm", "<p>Extra time.</p>");
    }
    open_window();
    trigger("mnuView_SearchText");
    auto* cancel = find<QPushButton>("cmdCancelIndex");
    ASSERT_TRUE(wait_until([&] { return cancel->isVisibleTo(window.get()); }));
    EXPECT_TRUE(find<QWidget>("indexProgress")->isVisibleTo(window.get()));
    if (!window->text_search().busy()) {
        GTEST_SKIP() << "the index was built before Cancel could be clicked";
    }
    click(cancel);
    ASSERT_TRUE(wait_until([&] { return !window->text_search().busy(); }));
    EXPECT_EQ(search_status(), "Indexing stopped. What was read is kept for the next search.");
    EXPECT_FALSE(cancel->isVisibleTo(window.get()));
}

}  // namespace
}  // namespace quillet::test
