// The watcher on real folders with the kernel's notices: a folder that
// vanishes with its parent and returns, dorrant.ini moving the Fennick folder.
// (What arrives and what does not: the watch command's tests.)
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <functional>

#include "report_watcher.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet {
namespace {

// Runs the event loop until done() holds; false when it never does.
bool wait_until(const std::function<bool()>& done, int limit_ms = 20000) {
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.elapsed() > limit_ms) {
            loop.quit();
        }
    });
    check.start(5);
    if (!done()) {
        loop.exec();
    }
    return done();
}

class ReportWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys_ = box_.make();
        fennick_ = box_.make_folder("watched/fennick");
        orvella_ = box_.make_folder("watched/orvella");
        sys_->set_Path_Fennick(fennick_);
        sys_->set_Path_Orvella(orvella_);
    }

    void start(bool follow_dorrant = false) {
        watcher_ =
            std::make_unique<ReportWatcher>(*sys_, ReportWatcher::Options{100, follow_dorrant});
        QObject::connect(watcher_.get(), &ReportWatcher::reportsSettled,
                         [this](const QList<Arrival>& arrivals) {
                             for (const Arrival& a : arrivals) {
                                 arrived_ << a.folder + a.name;
                             }
                         });
        for (const auto& [signal, word] : {std::pair{&ReportWatcher::folderGone, "gone"},
                                           std::pair{&ReportWatcher::folderBack, "back"}}) {
            QObject::connect(watcher_.get(), signal,
                             [this, word](std::int16_t code, const QString& f) {
                                 events_ << QStringLiteral("%1 %2 %3").arg(word).arg(code).arg(f);
                             });
        }
        QString failure;
        ASSERT_TRUE(watcher_->start(&failure)) << failure.toStdString();
    }

    // Waits until the watcher has handed out exactly these reports (and
    // nothing else for a while after them).
    void expect_arrivals(const QStringList& expected) {
        EXPECT_TRUE(wait_until([&] { return arrived_.size() >= expected.size(); }))
            << arrived_.join(' ').toStdString();
        // Nothing more once everything has settled.
        wait_until([&] { return watcher_->tracker().waiting() == 0; });
        EXPECT_EQ(arrived_, expected);
        arrived_.clear();
    }

    test::SettingsSandbox box_;
    std::unique_ptr<cSys_vars> sys_;
    QString fennick_, orvella_;
    std::unique_ptr<ReportWatcher> watcher_;
    QStringList arrived_, events_;
};

TEST_F(ReportWatcherTest, TheListsReportsAreKnownAndAVanishedFolderIsWatchedAgainOnItsReturn) {
    test::write_file(orvella_ + "~drntrpa01.tmp", "@one\r\n");
    test::write_file(fennick_ + "a.fnr", "@a\r\n");
    start();
    ASSERT_TRUE(sys_->pr_Generate_File_List(0));
    EXPECT_EQ(watcher_->tracker().tracked(), 0U);
    watcher_->prime_report_list();
    EXPECT_EQ(watcher_->tracker().tracked(), 2U);

    ASSERT_TRUE(QDir(orvella_).removeRecursively());
    ASSERT_TRUE(wait_until([&] { return !events_.isEmpty(); }));
    EXPECT_FALSE(watcher_->is_present(2));

    // It returns with its parent recreated too, and a report already inside.
    ASSERT_TRUE(QDir(box_.path("watched")).removeRecursively());
    ASSERT_TRUE(wait_until([&] { return events_.size() >= 2; }));
    test::write_file(box_.path("staging/~drntrpa05.tmp"), "@five\r\n");
    ASSERT_TRUE(QDir().mkpath(box_.path("watched")));
    ASSERT_TRUE(QDir().rename(box_.path("staging"), orvella_));
    ASSERT_TRUE(QDir().mkpath(fennick_));
    ASSERT_TRUE(wait_until([&] { return events_.size() >= 4; }));
    // The two may return in either order.
    QStringList returned = events_.mid(2);
    returned.sort();
    EXPECT_EQ(events_.mid(0, 2), (QStringList{"gone 2 " + orvella_, "gone 1 " + fennick_}));
    EXPECT_EQ(returned, (QStringList{"back 1 " + fennick_, "back 2 " + orvella_}));
    expect_arrivals({orvella_ + "~drntrpa05.tmp"});

    test::write_file(fennick_ + "b.fnr", "@b\r\n");
    expect_arrivals({fennick_ + "b.fnr"});
}

TEST_F(ReportWatcherTest, DorrantIniMovesTheFennickWatch) {
    const QString first = box_.make_folder("db one");
    const QString second = box_.make_folder("db two");
    box_.write_dorrant("[Dorrant]\r\ndatabase=" + first.toUtf8() + "\r\n");
    sys_->set_Gen_FennickChoice(1);
    ASSERT_TRUE(sys_->pr_Set_FennickPath_to_DorrantDB());
    ASSERT_EQ(sys_->Path_Fennick(), first);
    test::write_file(second + "waiting.fnr", "@already there\r\n");
    start(true);
    QString moved_to;
    QObject::connect(watcher_.get(), &ReportWatcher::fennickFolderChanged,
                     [&](const QString& folder) { moved_to = folder; });

    box_.write_dorrant("[Dorrant]\r\ndatabase=" + second.toUtf8() + "\r\n");
    ASSERT_TRUE(wait_until([&] { return !moved_to.isEmpty(); }));
    EXPECT_EQ(moved_to, second);
    EXPECT_EQ(watcher_->folder(1), second);
    // The reports of the new folder are new to the watcher; the old folder is no longer watched.
    test::write_file(first + "old.fnr", "@old\r\n");
    test::write_file(second + "new.fnr", "@new\r\n");
    expect_arrivals({second + "waiting.fnr", second + "new.fnr"});
}

}  // namespace
}  // namespace quillet
