// quillet-convert meeting names in the Orvella folder that look like reports
// but lead to something that is not a plain file: a pipe (reading it waits
// for a writer) and an endless device. The batch must refuse both and go on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>

#include "cli_workspace.h"
#include "fault_injection.h"
#include "test_support.h"

namespace quillet::test {
namespace {

TEST(SpecialSource, LinksToAPipeOrADeviceAreRefusedAndTheBatchGoesOn) {
    FaultWorkspace ws{QStringLiteral(QUILLET_CONVERT_EXE)};
    const QByteArray pipe = QFile::encodeName(ws.path(QStringLiteral("pipe")));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(ws.path(QStringLiteral("pipe")),
                            ws.orvella() + QStringLiteral("~drntrpa1.tmp")));
    ASSERT_TRUE(
        QFile::link(QStringLiteral("/dev/zero"), ws.orvella() + QStringLiteral("~drntrpa2.tmp")));
    write_file(ws.orvella() + QStringLiteral("~drntrpa3.tmp"), orvella_report("33333333"));

    const auto process = ws.start({QStringLiteral("orvella"), QStringLiteral("--json")});
    const bool ended = process->waitForFinished(120000);
    if (!ended) {
        process->kill();
        process->waitForFinished();
    }
    ASSERT_TRUE(ended) << "the batch did not end";
    ChildResult result;
    result.out = process->readAllStandardOutput();
    const auto rows = result.rows();
    ASSERT_EQ(rows.size(), 3u);
    for (const int i : {0, 1}) {
        EXPECT_FALSE(rows[i].converted);
        EXPECT_FALSE(rows[i].comment.isEmpty());
    }
    EXPECT_TRUE(rows[2].converted);
    EXPECT_EQ(unsound_documents(ws.html(), {}), QStringList());
}

}  // namespace
}  // namespace quillet::test
