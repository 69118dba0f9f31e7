// The student folders of a batch: listed once, then kept up to date.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "report_conversion.h"

namespace quillet {
namespace {

// Folders that appear after the listing are looked at like the listed ones:
// a link out of the reports folder is refused, a link into it and a plain
// folder are used.
TEST(ReportFolders, FoldersThatAppearAfterTheListingAreLookedAtToo) {
    QTemporaryDir dir;
    const QString root = dir.path() + "/html/";
    const QString outside = dir.path() + "/outside";
    ASSERT_TRUE(QDir().mkpath(root) && QDir().mkpath(outside));
    ReportFolders folders;
    QString failure;
    ASSERT_EQ(folders.ensure(root, "11111111", failure), QString("11111111"));

    ASSERT_TRUE(QFile::link(outside, root + "22222222"));
    ASSERT_TRUE(QFile::link(root + "11111111", root + "33333333"));
    ASSERT_TRUE(QDir().mkpath(root + "44444444"));
    EXPECT_EQ(folders.ensure(root, "22222222", failure), std::nullopt);
    EXPECT_EQ(failure, QString("Cannot use the folder \"22222222\": it is a link to %1, outside "
                               "the HTML reports folder.")
                           .arg(QDir(outside).canonicalPath()));
    EXPECT_EQ(folders.ensure(root, "33333333", failure), QString("33333333"));
    EXPECT_EQ(folders.ensure(root, "44444444", failure), QString("44444444"));
    EXPECT_TRUE(QDir(outside).isEmpty());
}

}  // namespace
}  // namespace quillet
