// Report files and folders dropped on the main window: what counts as a
// report, the batch that converts just those, and what is left alone.
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>

#include "main_window_driver.h"
#include "report_drop.h"

namespace quillet::test {
namespace {

class DropReports : public MainWindowTest {
protected:
    // Delivers a drag entering the window and the drop of urls, as the
    // windowing system does.
    bool drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPointF at(window->width() / 2.0, window->height() / 2.0);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &dropped);
        finish_batches();
        return dropped.isAccepted();
    }
    static QUrl file(const QString& path) { return QUrl::fromLocalFile(path); }
};

TEST_F(DropReports, ReportsTakenByNameAreConvertedAndListedOthersNamedAndLeftAlone) {
    const QString elsewhere = sandbox.make_folder("elsewhere");
    write_file(elsewhere + "~drntrpa07.tmp", orvella_report("4711"));
    write_file(elsewhere + "Jones.fnr", fennick_report());
    write_file(elsewhere + "photo.png", "png");
    write_file(orvella + "~drntrpa01.tmp", orvella_report("9999"));  // not dropped
    open_window();

    ASSERT_TRUE(drop({file(elsewhere + "~drntrpa07.tmp"), file(elsewhere + "photo.png"),
                      file(elsewhere + "Jones.fnr")}));

    EXPECT_FALSE(QFileInfo(html + "9999").exists());
    const std::string cells = grid_text(model());
    EXPECT_EQ(cells, kListHeader + listed(1, "4711", "4711/Analysis") +
                         listed(2, "jones", "Fennick/jones"));
    EXPECT_EQ(window->statusBar()->currentMessage(), "Not a report, ignored: photo.png");

    // Nothing but other files: the grid is left alone.
    window->statusBar()->clearMessage();
    EXPECT_TRUE(drop({file(elsewhere + "photo.png")}));
    EXPECT_EQ(grid_text(model()), cells);
    EXPECT_EQ(sys->Rep_FileCount(), 2);
    EXPECT_EQ(window->statusBar()->currentMessage(), "Not a report, ignored: photo.png");

    // Reports are taken by name from files and folders.
    const QString inbox = sandbox.make_folder("elsewhere/inbox");
    const QString empty = sandbox.make_folder("elsewhere/empty");
    for (const char* name : {"Smith.FNR", "~DRNTrpa01.tmp", "notes.txt", "other.tmp"}) {
        write_file(elsewhere + name, "x");
    }
    for (const char* name : {"b.fnr", "a.fnr", "readme.txt", "~drnt02.tmp"}) {
        write_file(inbox + name, "x");
    }
    QDir().mkpath(inbox + "deeper.fnr");  // a folder, however it is named
    const DroppedItems items =
        sort_dropped(*sys, {file(elsewhere + "Smith.FNR"), file(elsewhere + "notes.txt"),
                            file(elsewhere + "~DRNTrpa01.tmp"), file(elsewhere + "other.tmp"),
                            file(inbox), file(empty), file(elsewhere + "Smith.FNR"),
                            file(elsewhere + "gone.fnr"), QUrl("https://example.org/a.fnr")});
    const std::vector<DroppedReport> reports = {
        {1, "Smith.FNR", elsewhere}, {2, "~DRNTrpa01.tmp", elsewhere}, {1, "a.fnr", inbox},
        {1, "b.fnr", inbox},         {2, "~drnt02.tmp", inbox},
    };
    EXPECT_EQ(items.reports, reports);
    EXPECT_EQ(items.ignored, QStringList({"notes.txt", "other.tmp", "empty", "gone.fnr",
                                          "https://example.org/a.fnr"}));
}

}  // namespace
}  // namespace quillet::test
