// Two desktop programs, each with its own settings file naming the same
// folders, converting at once: the batch runner of each (as the window runs
// it) on one event loop. The reports folder ends up holding exactly what
// one program alone writes, and nothing else.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "batch_runner.h"
#include "fault_injection.h"
#include "parallel_batch.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet::test {
namespace {

constexpr int kStudents = 40;

QByteArray report(int student, char kind) {
    QByteArray text = "@\r\n~biuC18~\r\nOrvella Report for student " +
                      QByteArray::number(60000000 + student) + "\r\n~biuL12~\r\n";
    for (int line = 0; line < 100 + 13 * student; ++line) {
        text += "Line " + QByteArray::number(line) + " ~BiuL12~" + kind + "~biuL12~  and\tmore\r\n";
    }
    return text;
}

// A program's settings: its own settings file, the folders given.
std::unique_ptr<cSys_vars> program(const SettingsSandbox& sandbox, const QString& orvella,
                                   const QString& html) {
    auto sys = sandbox.make();
    sys->set_Path_Orvella(orvella);
    sys->set_Path_Fennick(sandbox.make_folder(QStringLiteral("fennick")));
    sys->set_Path_HTMLReports(html);
    sys->set_Gen_ConvertOption(0);
    EXPECT_TRUE(sys->pr_Generate_File_List(2));
    return sys;
}

TEST(TwoPrograms, OnTheSameFoldersLeaveTheDocumentsOfOne) {
    SettingsSandbox first_sandbox;
    SettingsSandbox second_sandbox;
    const QString orvella = first_sandbox.make_folder(QStringLiteral("orvella"));
    const QString html = first_sandbox.make_folder(QStringLiteral("html"));
    for (int i = 0; i < kStudents; ++i) {
        for (const char kind : {'a', 'd'}) {
            write_file(orvella + QStringLiteral("~drntrp%1%2.tmp").arg(QLatin1Char(kind)).arg(i),
                       report(i, kind));
        }
    }
    // One program alone, into a folder of its own.
    const QString alone = first_sandbox.make_folder(QStringLiteral("alone"));
    {
        const auto sys = program(second_sandbox, orvella, alone);
        FixedAnswer no(false);
        pr_Convert_Report_List(*sys, no, 1, {});
    }
    const auto expected = files_below(alone);
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(2 * kStudents));

    const auto first = program(first_sandbox, orvella, html);
    const auto second = program(second_sandbox, orvella, html);
    ASSERT_NE(first_sandbox.ini_file(), second_sandbox.ini_file());
    FixedAnswer no(false);
    BatchRunner one(*first, no, 2);
    BatchRunner other(*second, no, 3);
    QEventLoop loop;
    int finished = 0;
    for (BatchRunner* runner : {&one, &other}) {
        QObject::connect(runner, &BatchRunner::finished, &loop, [&] {
            if (++finished == 2) {
                loop.quit();
            }
        });
    }
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    one.start();
    other.start();
    loop.exec();
    ASSERT_EQ(finished, 2) << "the batches did not finish";

    for (const cSys_vars* sys : {first.get(), second.get()}) {
        for (int i = 1; i <= sys->Rep_FileCount(); ++i) {
            EXPECT_TRUE(sys->entry(i).Rep_Converted) << sys->entry(i).Rep_Comment.toStdString();
        }
    }
    EXPECT_EQ(files_below(html), expected);
}

}  // namespace
}  // namespace quillet::test
