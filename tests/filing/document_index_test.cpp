// The text index of the documents: a cache that follows the folder, survives
// damage, keeps to its owner and is fed by batches.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <functional>

#include "document_index.h"
#include "parallel_batch.h"
#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet::test {
namespace {

class DocumentIndexTest : public ::testing::Test {
protected:
    QString html() const { return dir.filePath(QStringLiteral("html")); }
    QString file() const { return dir.filePath(QStringLiteral("cache/index.sqlite")); }
    void put(const QString& relative, const QByteArray& words) const {
        write_file(html() + QLatin1Char('/') + relative,
                   "<HTML><HEAD><TITLE>title</TITLE></HEAD><BODY>\r\n<P>" + words + "</P>\r\n");
    }
    // "student/report" of each hit, best first.
    static std::string found(const DocumentIndex& index, const QString& query) {
        QStringList hits;
        for (const SearchHit& hit : index.search(query).hits) {
            hits << hit.student + QLatin1Char('/') + hit.report;
        }
        return hits.join(QLatin1Char(' ')).toStdString();
    }
    void put_standard_folder() const {
        put(QStringLiteral("12345678/Analysis.htm"), "Extra time of 25% is recommended.");
        put(QStringLiteral("Fennick/Jones.htm"), "Reads at home with a caf\xE9 owner.");
        put(QStringLiteral("Top.htm"), "extra help, extra time, extra everything");
        put(QStringLiteral("12345678/deeper/Lost.htm"), "extra");
        put(QStringLiteral(".hidden/Lost.htm"), "extra");
        put(QStringLiteral("12345678/notes.txt"), "extra");
    }
    QTemporaryDir dir;
};

TEST_F(DocumentIndexTest, FollowsTheFolderAndReadsOnlyWhatChanged) {
    put_standard_folder();
    DocumentIndex index(html(), file());
    ASSERT_TRUE(index.ok()) << index.error().toStdString();
    EXPECT_TRUE(index.needs_full_build());
    EXPECT_TRUE(index.refresh());
    EXPECT_FALSE(index.needs_full_build());

    const struct {
        const char* query;
        const char* hits;
    } cases[] = {
        {"extra", "/top 12345678/analysis"},
        {"\"EXTRA TIME\" NOT help", "12345678/analysis"},
        {"NEAR(extra recommended, 4)", "12345678/analysis"},
        {"cafe OR nothing", "jones/jones"},
        {"hom*", "jones/jones"},
        {"title", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(found(index, QString::fromUtf8(c.query)), c.hits) << c.query;
    }
    const SearchResult result = index.search(QStringLiteral("\"extra time\" recommended"));
    ASSERT_EQ(result.hits.size(), 1u);
    const SearchHit& hit = result.hits[0];
    EXPECT_EQ(hit.snippet.toStdString(),
              "\uFDD0Extra time\uFDD1 of 25% is \uFDD0recommended\uFDD1.");
    EXPECT_EQ(hit.path, html() + QStringLiteral("/12345678/Analysis.htm"));
    EXPECT_EQ(hit.date, format_document_date(QFileInfo(hit.path).lastModified()));

    // Another program rewrites one document, removes one and adds one.
    put(QStringLiteral("12345678/Analysis.htm"), "No longer.");
    QFile::remove(html() + QStringLiteral("/Top.htm"));
    put(QStringLiteral("87654321/Dyslexia.htm"), "extra time");
    DocumentIndex again(html(), file());
    EXPECT_FALSE(again.needs_full_build());
    qint64 read = 0;
    EXPECT_TRUE(again.refresh([&](qint64, qint64 total) {
        read = total;
        return true;
    }));
    EXPECT_EQ(read, 3);
    EXPECT_EQ(found(again, QStringLiteral("extra")), "87654321/dyslexia");
    EXPECT_EQ(found(again, QStringLiteral("longer")), "12345678/analysis");
}

TEST_F(DocumentIndexTest, MalformedQueriesGetOneLineInPlainWords) {
    put_standard_folder();
    DocumentIndex index(html(), file());
    ASSERT_TRUE(index.refresh());
    for (const QString& query :
         {QStringLiteral("extra AND"), QStringLiteral("\"extra time"), QStringLiteral("col:x"),
          QStringLiteral("NEAR("), QStringLiteral("*"), QStringLiteral("  "),
          QStringLiteral("\x01\n)"), QString(1001, QLatin1Char('a'))}) {
        const SearchResult result = index.search(query);
        EXPECT_TRUE(result.hits.empty());
        EXPECT_TRUE(result.error.startsWith(QLatin1String("cannot understand the query")))
            << result.error.toStdString();
        EXPECT_FALSE(result.error.contains(QLatin1Char('\n')) ||
                     result.error.contains(QLatin1String("fts5")))
            << result.error.toStdString();
    }
}

TEST_F(DocumentIndexTest, DamagedOrForeignIndexIsRebuilt) {
    put_standard_folder();
    const auto sql = [](const QString& path, const char* statements) {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path).constData(), &db);
        EXPECT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    const std::function<void()> damages[] = {
        [&] { write_file(file(), "not a database, just text\n"); },
        [&] {
            QFile::remove(file());
            sql(file(), "CREATE TABLE other(x); PRAGMA user_version = 7;");
        },
        [&] { sql(file(), "PRAGMA user_version = 99;"); },
        [&] {
            QFile f(file());  // every page after the first overwritten
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const qint64 size = f.size();
            f.seek(4096);
            f.write(QByteArray(size - 4096, '\xff'));
        },
    };
    for (const auto& damage : damages) {
        {
            DocumentIndex built(html(), file());
            ASSERT_TRUE(built.refresh());
        }
        damage();
        DocumentIndex index(html(), file());
        ASSERT_TRUE(index.ok()) << index.error().toStdString();
        EXPECT_TRUE(index.refresh()) << index.error().toStdString();
        EXPECT_EQ(found(index, QStringLiteral("extra")), "/top 12345678/analysis");
    }
}

TEST_F(DocumentIndexTest, AnotherUseInTheSameProcessKeepsTheFirstOnesLock) {
    // While a connection is open, the process holds a shared lock on the
    // index; a process that finds none believes it closes the last one and
    // takes the write-ahead log away. Opening a second connection (the
    // comparison thread of a search) must not release the first one's lock.
    put_standard_folder();
    const DocumentIndex first(html(), file());
    ASSERT_TRUE(first.ok());
    const DocumentIndex second(html(), file());
    ASSERT_TRUE(second.ok());
    const QByteArray name = QFile::encodeName(file());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Another process asks for the lock that a closing connection takes.
        const int fd = ::open(name.constData(), O_RDONLY);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0x40000002;  // the shared-lock bytes of a database file
        lock.l_len = 510;
        _exit(fd >= 0 && ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the lock was released";
}

TEST_F(DocumentIndexTest, FilesAreTheUsersAlone) {
    put_standard_folder();
    const auto mask = qScopeGuard([old = ::umask(0)] { ::umask(old); });
    const auto mode = [](const QString& path) {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : ~0u;
    };
    DocumentIndex index(html(), file());
    EXPECT_TRUE(index.refresh());
    for (const char* suffix : {"", "-wal", "-shm"}) {
        EXPECT_EQ(mode(file() + QLatin1String(suffix)), 0600u) << suffix;
    }
    EXPECT_EQ(mode(dir.filePath(QStringLiteral("cache"))), 0700u);
}

TEST_F(DocumentIndexTest, BatchesWriteTheirDocumentsIntoAnExistingIndex) {
    const auto restore = qScopeGuard([cache = qgetenv("XDG_CACHE_HOME")] {
        cache.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cache);
    });
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("xdg"))));
    SettingsSandbox sandbox;
    auto sys = sandbox.make();
    sys->set_Path_Orvella(sandbox.make_folder(QStringLiteral("orvella")));
    sys->set_Path_HTMLReports(html() + QLatin1Char('/'));
    sys->set_Gen_ConvertOption(0);
    QDir().mkpath(html());
    ASSERT_TRUE(DocumentIndex(html()).refresh());
    for (const int jobs : {1, 2}) {
        for (int i = 0; i < 4; ++i) {
            write_file(sys->Path_Orvella() + QStringLiteral("~drntrpa%1.tmp").arg(i),
                       "@\r\nOrvella Analysis Report for student 1000000" + QByteArray::number(i) +
                           "\r\nbatch" + QByteArray::number(jobs) + "\r\n");
        }
        ASSERT_TRUE(sys->pr_Generate_File_List(2));
        FixedAnswer yes(true);
        pr_Convert_Report_List(*sys, yes, jobs);
        // No refresh: what the batch wrote is there when it returns.
        QStringList hits = QString::fromStdString(
                               found(DocumentIndex(html()), QStringLiteral("batch%1").arg(jobs)))
                               .split(QLatin1Char(' '));
        hits.sort();
        EXPECT_EQ(hits.join(QLatin1Char(' ')), "10000000/analysis 10000001/analysis "
                                               "10000002/analysis 10000003/analysis");
    }
}

}  // namespace
}  // namespace quillet::test
