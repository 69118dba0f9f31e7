// The batch on several workers against the one-at-a-time batch: the same
// documents, the same entries, delivered in list order; cancelling in the
// middle keeps every document whole.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <numeric>
#include <thread>

#include "fault_injection.h"
#include "parallel_batch.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet::test {
namespace {

QByteArray orvella(const QByteArray& student, const QByteArray& text) {
    return "@\r\n~biuC18~\r\nOrvella Analysis Report for student " + student + "\r\n~biuL12~\r\n" +
           text + "\r\n";
}

// Answers from a list, in turn (No when it runs out), and notes each question.
class ScriptedAnswers final : public OverwriteQuestion {
public:
    explicit ScriptedAnswers(std::vector<bool> answers) : answers_(std::move(answers)) {}
    bool ask(const QString& title, const QString& text) override {
        EXPECT_EQ(title, kConvertOptionTitle);
        EXPECT_EQ(text, kConvertOptionQuestion);
        threads.push_back(std::this_thread::get_id());
        const std::size_t n = threads.size() - 1;
        return n < answers_.size() && answers_[n];
    }
    std::vector<std::thread::id> threads;

private:
    std::vector<bool> answers_;
};

// One workspace with a batch that has every kind of entry whose order matters.
struct Workspace {
    explicit Workspace(std::int16_t policy) {
        sys = sandbox.make();
        sys->set_Path_Orvella(sandbox.make_folder("orvella"));
        sys->set_Path_Fennick(sandbox.make_folder("fennick"));
        sys->set_Path_HTMLReports(sandbox.make_folder("html"));
        sys->set_Gen_ConvertOption(policy);
        const QString o = sys->Path_Orvella();
        // Many entries for one new student folder, most for one document: the
        // last in list order must be the one on disk.
        for (int i = 0; i < 24; ++i) {
            const QString kind = i % 3 == 0 ? "d" : "a";
            write_file(
                o + QStringLiteral("~drntrp%1%2.tmp").arg(kind).arg(i, 2, 10, QLatin1Char('0')),
                orvella("44440000", "version " + QByteArray::number(i)));
        }
        // Students of their own, one with a folder that exists in other letters.
        for (int i = 0; i < 40; ++i) {
            write_file(o + QStringLiteral("~drntrpa5%1.tmp").arg(i, 2, 10, QLatin1Char('0')),
                       orvella("5550" + QByteArray::number(1000 + i), "own"));
        }
        QDir().mkpath(sys->Path_HTMLReports() + "Ab120000");
        write_file(o + "~drntrpa60.tmp", orvella("AB120000", "upper case"));
        // No student number, an invalid report, a folder in place of a file.
        write_file(o + "~drntrpa61.tmp", "@\r\nno number here\r\n");
        write_file(o + "~drntrpa62.tmp", "not a report\r\n");
        QDir().mkpath(o + "~drntrpa63.tmp");
        write_file(o + "~drntrpd64.tmp", "@\r\nanother without number\r\n");
        // Fennick reports, two naming the same document in different letters.
        write_file(sys->Path_Fennick() + "jones.fnr", "@1\r\nfirst\r\n");
        write_file(sys->Path_Fennick() + "JONES.FNR", "@1\r\nsecond\r\n");
        write_file(sys->Path_Fennick() + "smith.fnr", "@1\r\nthird\r\n");
        // Documents that exist already, for the overwrite policies.
        write_file(sys->Path_HTMLReports() + "44440000/Dyslexia.htm", "old");
        write_file(sys->Path_HTMLReports() + "55501003/Analysis.htm", "old");
        write_file(sys->Path_HTMLReports() + "Fennick/smith.htm", "old");
        EXPECT_TRUE(sys->pr_Generate_File_List(0));
    }

    QString html() const { return sys->Path_HTMLReports(); }

    SettingsSandbox sandbox;
    std::unique_ptr<cSys_vars> sys;
};

// Everything an entry shows, but the document's date.
QStringList entries_of(const cSys_vars& sys) {
    QStringList rows;
    for (int i = 1; i <= sys.Rep_FileCount(); ++i) {
        const ReportEntry& e = sys.entry(i);
        rows << QStringLiteral("%1|%2|%3|%4|%5|%6")
                    .arg(e.Rep_SourceFilename, e.Rep_DestinationPath, e.Rep_DestinationFilename,
                         e.Rep_Converted ? "Yes" : "No", e.Rep_Comment,
                         e.Rep_DestinationFileDate.isEmpty() ? u"-" : u"date");
    }
    return rows;
}

struct Outcome {
    QStringList entries;
    std::map<QString, QByteArray> files;
    std::vector<int> delivered;
    std::size_t questions = 0;
};

Outcome convert(std::int16_t policy, int jobs, const std::vector<bool>& answers = {}) {
    Workspace ws(policy);
    ScriptedAnswers question(answers);
    Outcome outcome;
    const auto owner = std::this_thread::get_id();
    pr_Convert_Report_List(*ws.sys, question, jobs, [&](int index) {
        EXPECT_EQ(std::this_thread::get_id(), owner);
        outcome.delivered.push_back(index);
    });
    for (const std::thread::id asked_on : question.threads) {
        EXPECT_EQ(asked_on, owner);
    }
    outcome.entries = entries_of(*ws.sys);
    outcome.files = files_below(ws.html());
    outcome.questions = question.threads.size();
    return outcome;
}

TEST(ParallelBatch, EveryPolicyGivesTheDocumentsAndEntriesOfTheOneAtATimeBatch) {
    struct Case {
        const char* what;
        std::int16_t policy;
        std::vector<bool> answers;
    } cases[] = {
        {"overwrite", 0, {}},
        {"skip", 2, {}},
        {"ask, mixed answers", 1, {true,  false, false, true, true, false, true,  false,
                                   true,  true,  false, true, true, true,  false, true,
                                   false, false, true,  true, true, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome one = convert(c.policy, 1, c.answers);
        ASSERT_GT(one.files.size(), 40u);
        if (c.policy == 1) {
            EXPECT_GT(one.questions, 10u);
        }
        if (c.policy == 0) {
            // The last entry of a document wins, and the folder keeps its letters.
            EXPECT_TRUE(one.files.at("44440000/Analysis.htm").contains("version 23"));
            EXPECT_TRUE(one.files.count("Ab120000/Analysis.htm"));
            EXPECT_TRUE(one.files.at("Fennick/jones.htm").contains("second"));
            EXPECT_TRUE(one.files.at("44440000/Dyslexia.htm").contains("<A HREF=\"#SEC"));
            EXPECT_TRUE(
                one.entries.filter(u"~drntrpa01|").at(0).contains(u"|Created new HTML report|"));
            EXPECT_GE(one.entries.filter(u"|Overwrote existing HTML Report|").size(), 22);
        }
        std::vector<int> in_order(one.entries.size());
        std::iota(in_order.begin(), in_order.end(), 1);
        EXPECT_EQ(one.delivered, in_order);
        for (const int jobs : {2, 4, 7}) {
            SCOPED_TRACE(jobs);
            const Outcome many = convert(c.policy, jobs, c.answers);
            EXPECT_EQ(many.delivered, in_order);
            EXPECT_EQ(many.entries, one.entries);
            EXPECT_EQ(many.questions, one.questions);
            EXPECT_TRUE(many.files == one.files);
        }
    }
}

TEST(ParallelBatch, CancelledBatchKeepsWholeDocumentsAndNamesTheEntriesNeverStarted) {
    SettingsSandbox sandbox;
    auto sys = sandbox.make();
    sys->set_Path_Orvella(sandbox.make_folder("orvella"));
    sys->set_Path_HTMLReports(sandbox.make_folder("html"));
    constexpr int kReports = 1500;
    QByteArray long_text;
    for (int line = 0; line < 200; ++line) {
        long_text += "A line of the report that goes on for a while.\r\n";
    }
    for (int i = 0; i < kReports; ++i) {
        const QByteArray student = QByteArray::number(10000000 + i);
        write_file(
            sys->Path_Orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i, 4, 10, QLatin1Char('0')),
            orvella(student, long_text));
    }
    // Earlier documents of the last reports, which must stay as they are.
    for (int i = kReports - 5; i < kReports; ++i) {
        write_file(sys->Path_HTMLReports() + QString::number(10000000 + i) + "/Analysis.htm",
                   "<HTML>\r\n<HEAD>\r\nearlier</BODY>\r\n</HTML>\r\n");
    }
    const auto before = files_below(sys->Path_HTMLReports());
    ASSERT_TRUE(sys->pr_Generate_File_List(2));

    FixedAnswer yes(true);
    ParallelBatch batch(*sys, 4);
    std::vector<int> delivered;
    // Pumped with no time to spare: one entry a turn, except the entries never
    // started, which are delivered in one turn, however many they are.
    int turns_with_cancelled = 0;
    batch.start();
    for (bool done = false; !done;) {
        bool cancelled = false;
        done = batch.pump(
            yes,
            [&](int index) {
                delivered.push_back(index);
                cancelled = cancelled || sys->entry(index).Rep_Comment == kBatchCancelled;
                if (index == 50) {
                    batch.cancel();
                }
            },
            std::chrono::milliseconds(0));
        turns_with_cancelled += cancelled ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(turns_with_cancelled, 1);
    ASSERT_EQ(static_cast<int>(delivered.size()), kReports);
    EXPECT_TRUE(std::is_sorted(delivered.begin(), delivered.end()));

    int converted = 0, cancelled = 0;
    for (int i = 1; i <= kReports; ++i) {
        const ReportEntry& e = sys->entry(i);
        const QString document =
            sys->Path_HTMLReports() + QString::number(10000000 + i - 1) + "/Analysis.htm";
        if (e.Rep_Comment == kBatchCancelled) {
            ++cancelled;
            EXPECT_GT(i, 50);
            EXPECT_FALSE(e.Rep_Converted);
            EXPECT_TRUE(e.Rep_DestinationFilename.isEmpty());
            if (i <= kReports - 5) {
                EXPECT_FALSE(QFile::exists(document)) << i;
            }
        } else {
            // Nothing is cancelled once the cancelled entries have begun.
            EXPECT_EQ(cancelled, 0) << i;
            ++converted;
            EXPECT_TRUE(e.Rep_Converted) << i;
            EXPECT_TRUE(is_complete_document(read_file(document))) << i;
        }
    }
    EXPECT_GE(converted, 50);
    EXPECT_GT(cancelled, 0);
    EXPECT_EQ(unsound_documents(sys->Path_HTMLReports(), before), QStringList());
    // Only the converted entries' documents and the earlier ones are there.
    EXPECT_EQ(files_below(sys->Path_HTMLReports()).size(), static_cast<std::size_t>(converted + 5));
}

TEST(ParallelBatch, EmptyListAndSingleEntryFinish) {
    SettingsSandbox sandbox;
    auto sys = sandbox.make();
    sys->set_Path_HTMLReports(sandbox.make_folder("html"));
    FixedAnswer yes(true);
    {
        ParallelBatch batch(*sys, 4);
        batch.run(yes);
        EXPECT_TRUE(batch.finished());
    }
    sys->set_Path_Orvella(sandbox.make_folder("orvella"));
    write_file(sys->Path_Orvella() + "~drntrpa1.tmp", orvella("12345678", "x"));
    ASSERT_TRUE(sys->pr_Generate_File_List(2));
    ParallelBatch batch(*sys, {1, 1}, 8);  // the same entry twice
    std::vector<int> delivered;
    batch.run(yes, [&](int index) { delivered.push_back(index); });
    EXPECT_EQ(delivered, (std::vector<int>{1, 1}));
    EXPECT_EQ(sys->entry(1).Rep_Comment, "Overwrote existing HTML Report");
}

}  // namespace
}  // namespace quillet::test
