// Documents are put in place whole or not at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "atomic_file.h"
#include "test_support.h"

namespace quillet {
namespace {

QStringList everything_in(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(AtomicFile, NewAndReplacedDocumentsAppearWholeAndKeepTheirPermissions) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Analysis.htm");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open()) << file.error().toStdString();
        ASSERT_TRUE(file.write("first"));
        EXPECT_FALSE(QFile::exists(path)) << "visible before it is complete";
        ASSERT_TRUE(file.commit()) << file.error().toStdString();
        EXPECT_TRUE(file.modified().isValid());
    }
    EXPECT_EQ(test::read_file(path), QByteArray("first"));

    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path, mode));
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("second, longer"));
        EXPECT_EQ(test::read_file(path), QByteArray("first"));
        ASSERT_TRUE(file.commit()) << file.error().toStdString();
    }
    EXPECT_EQ(test::read_file(path), QByteArray("second, longer"));
    EXPECT_EQ(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), mode);
    EXPECT_EQ(everything_in(dir.path()), QStringList{"Analysis.htm"});
}

TEST(AtomicFile, UncommittedWritesLeaveNothingTheOldDocumentStaysAndAMissingFolderFails) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Dyslexia.htm");
    test::write_file(path, "old");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("half a docu"));
    }  // destroyed without commit
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("half"));
        file.discard();
        EXPECT_FALSE(file.write("more"));
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(test::read_file(path), QByteArray("old"));
    EXPECT_EQ(everything_in(dir.path()), QStringList{"Dyslexia.htm"});

    // A missing folder fails with a reason.
    AtomicFile missing(dir.filePath("gone/Analysis.htm"));
    EXPECT_FALSE(missing.open());
    EXPECT_FALSE(missing.error().isEmpty());
}

}  // namespace
}  // namespace quillet
