// Which reports count as arrived: sequences of changes on a real folder with
// the time given by the test, so every case is exact.
#include <gtest/gtest.h>

#include <QFile>
#include <cstdio>
#include <map>
#include <random>
#include <set>

#include "report_arrivals.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet {
namespace {

constexpr std::int64_t kSettle = 1000;

class ArrivalTrackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        sys_ = box_.make();
        fennick_ = box_.make_folder("fennick");
        orvella_ = box_.make_folder("orvella");
        tracker_.set_folder(1, fennick_);
        tracker_.set_folder(2, orvella_);
    }

    // Writes a report and notes it at time now, as a change notice would.
    void write(std::int16_t code, const QString& name, const QByteArray& bytes, std::int64_t now) {
        test::write_file((code == 1 ? fennick_ : orvella_) + name, bytes);
        tracker_.note(code, name, now);
    }

    QStringList taken(std::int64_t now) {
        QStringList names;
        for (const Arrival& a : tracker_.take_settled(now)) {
            EXPECT_EQ(a.folder, a.code == 1 ? fennick_ : orvella_);
            names << a.name;
        }
        return names;
    }

    test::SettingsSandbox box_;
    std::unique_ptr<cSys_vars> sys_;
    QString fennick_, orvella_;
    ArrivalTracker tracker_{kSettle, [this](std::int16_t code, const QString& name) {
                                return sys_->fn_Source_Code_Of(name) == code;
                            }};
};

TEST_F(ArrivalTrackerTest, ReportsAreHandedOutOnceStoppedChangingInTheOrderOfTheirLastChange) {
    write(1, "b.fnr", "@b\r\n", 0);
    write(2, "~drntrpa01.tmp", "@first piece\r\n", 10);
    EXPECT_EQ(tracker_.next_due(), kSettle);
    write(1, "a.fnr", "@a\r\n", 20);
    // A change before the report has settled starts the wait again.
    write(1, "b.fnr", "@b again\r\n", 30);
    write(2, "~drntrpa01.tmp", "@first piece\r\nsecond piece\r\n", 600);
    EXPECT_TRUE(taken(1019).isEmpty());
    EXPECT_EQ(taken(1030), (QStringList{"a.fnr", "b.fnr"}));
    EXPECT_TRUE(taken(1599).isEmpty());
    EXPECT_EQ(taken(1600), QStringList{"~drntrpa01.tmp"});
    EXPECT_FALSE(tracker_.next_due().has_value()) << "nothing waits once it is handed out";

    // Changed after its conversion: handed out again, after settling again.
    write(2, "~drntrpa01.tmp", "@rewritten\r\n", 10000);
    EXPECT_TRUE(taken(10999).isEmpty());
    EXPECT_EQ(taken(11000), QStringList{"~drntrpa01.tmp"});
}

TEST_F(ArrivalTrackerTest, OnlyTheNamesOfTheFolderCountAndTheGoneAreForgotten) {
    const struct {
        std::int16_t code;
        const char* name;
    } ignored[] = {
        {1, "notes.txt"},       {1, "a.fnr.bak"}, {1, ".hidden.fnr"},    {2, "notes.tmp"},
        {2, ".~drntrpa01.tmp"}, {2, "b.fnr"},     {1, "~drntrpa02.tmp"},
    };
    for (const auto& [code, name] : ignored) {
        write(code, QString::fromLatin1(name), "@x\r\n", 0);
    }
    // A folder with a report's name is no report.
    ASSERT_TRUE(QDir().mkpath(fennick_ + "folder.fnr"));
    tracker_.note(1, "folder.fnr", 0);
    EXPECT_EQ(tracker_.tracked(), 0U);
    EXPECT_TRUE(taken(5000).isEmpty());

    write(1, "c.fnr", "@c\r\n", 0);
    EXPECT_EQ(taken(1000), QStringList{"c.fnr"});
    ASSERT_TRUE(QFile::remove(fennick_ + "c.fnr"));
    tracker_.note(1, "c.fnr", 1100);
    write(1, "d.fnr", "@d\r\n", 1100);
    ASSERT_TRUE(QFile::remove(fennick_ + "d.fnr"));
    tracker_.note(1, "d.fnr", 1200);
    EXPECT_EQ(tracker_.tracked(), 0U) << "gone reports leave nothing behind";
    EXPECT_EQ(tracker_.waiting(), 0U);
    EXPECT_TRUE(taken(9000).isEmpty());
}

TEST_F(ArrivalTrackerTest, ARescanFindsWhatNoNoticeToldAndAPrimedReportWaitsForAChange) {
    test::write_file(orvella_ + "~drntrpa01.tmp", "@one\r\n");
    test::write_file(orvella_ + "~drntrpa02.tmp", "@two\r\n");
    tracker_.prime(2, "~drntrpa01.tmp");  // converted when watching started
    write(2, "~drntrpa04.tmp", "@four\r\n", 0);
    tracker_.prime(2, "~drntrpa04.tmp");  // converted while it waited: it waits no more
    test::write_file(orvella_ + "~drntrpa03.tmp", "@three\r\n");
    tracker_.rescan(2, 0);
    EXPECT_EQ(taken(1000), (QStringList{"~drntrpa02.tmp", "~drntrpa03.tmp"}));
    tracker_.rescan(2, 2000);
    EXPECT_TRUE(taken(9000).isEmpty()) << "a rescan without change hands out nothing";

    ASSERT_TRUE(QFile::remove(orvella_ + "~drntrpa02.tmp"));
    test::write_file(orvella_ + "~drntrpa01.tmp", "@one, longer now\r\n");
    tracker_.rescan(2, 10000);
    EXPECT_EQ(tracker_.tracked(), 3U);
    EXPECT_EQ(taken(11000), QStringList{"~drntrpa01.tmp"});
}

TEST_F(ArrivalTrackerTest, AChangeWithoutNoticeWhileWaitingIsCaughtBeforeHandingOut) {
    write(2, "~drntrpa01.tmp", "@one\r\n", 0);
    test::write_file(orvella_ + "~drntrpa01.tmp", "@one and more\r\n");  // the notice was lost
    EXPECT_TRUE(taken(1000).isEmpty());
    EXPECT_EQ(tracker_.next_due(), 2000);
    EXPECT_EQ(taken(2000), QStringList{"~drntrpa01.tmp"});

    write(2, "~drntrpa02.tmp", "@two\r\n", 3000);
    ASSERT_TRUE(QFile::remove(orvella_ + "~drntrpa02.tmp"));  // its removal unnoticed
    EXPECT_TRUE(taken(4000).isEmpty());
    EXPECT_EQ(tracker_.tracked(), 1U);
}

// Random creations, rewrites, renames and removals, notices without a
// change and rescans now and then: a report is handed out only once it has been unchanged for the
// settle time, only once per state, and every state that lasts is handed out.
TEST_F(ArrivalTrackerTest, RandomChangesSettleOnceInEachStateThatLasts) {
    const QStringList names{"~drntrpa01.tmp", "~drntrpa02.tmp", "~drntrpd03.tmp", "notes.tmp",
                            ".~drntrpa04.tmp"};
    std::mt19937 random(20261206);
    std::map<QString, std::int64_t> changed_at;  // the reports that exist, by their last change
    std::set<QString> handed_out;                // ... and those handed out since it
    std::int64_t now = 0;
    int writes = 0;
    const auto counts = [](const QString& name) { return name.startsWith("~drnt"); };
    const auto take = [&] {
        for (const QString& name : taken(now)) {
            ASSERT_TRUE(changed_at.count(name)) << name.toStdString() << " is gone";
            EXPECT_GE(now - changed_at[name], kSettle) << name.toStdString();
            EXPECT_TRUE(handed_out.insert(name).second) << name.toStdString() << " twice";
        }
    };
    for (int step = 0; step < 1500; ++step) {
        now += static_cast<std::int64_t>(random() % 700);
        const QString& name = names[static_cast<qsizetype>(random() % names.size())];
        const QString path = orvella_ + name;
        switch (random() % 7) {
            case 0:
            case 1:  // every write a new size, so that no two states look alike
                test::write_file(path, "@" + QByteArray(++writes, 'x'));
                tracker_.note(2, name, now);
                if (counts(name)) {
                    changed_at[name] = now;
                    handed_out.erase(name);
                }
                break;
            case 2: {
                const QString& to = names[static_cast<qsizetype>(random() % names.size())];
                if (to == name || ::rename(QFile::encodeName(path).constData(),
                                           QFile::encodeName(orvella_ + to).constData()) != 0) {
                    break;
                }
                tracker_.note(2, name, now);
                tracker_.note(2, to, now);
                changed_at.erase(name);
                handed_out.erase(name);
                if (counts(to)) {
                    changed_at[to] = now;
                    handed_out.erase(to);
                }
                break;
            }
            case 3:
                QFile::remove(path);
                tracker_.note(2, name, now);
                changed_at.erase(name);
                handed_out.erase(name);
                break;
            case 4:
                take();
                break;
            case 5:  // a notice that changes nothing (a reader closing, say)
                tracker_.note(2, name, now);
                break;
            default:
                tracker_.rescan(2, now);
                break;
        }
    }
    now += kSettle;
    take();
    for (const auto& [name, when] : changed_at) {
        EXPECT_TRUE(handed_out.count(name)) << name.toStdString() << " never handed out";
    }
    EXPECT_EQ(tracker_.tracked(), changed_at.size());
    EXPECT_EQ(tracker_.waiting(), 0U);
}

}  // namespace
}  // namespace quillet
