// The bytes of a document reach the file in order and whole, whether they
// were written straight away or behind the engine, however the engine paces
// them; a writer dropped unfinished writes no more.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <string>
#include <thread>

#include "document_writer.h"
#include "test_support.h"

namespace quillet {
namespace {

TEST(DocumentWriter, EveryByteArrivesInOrderWhateverTheChunksAndPausesOrNoneIfUnfinished) {
    struct Case {
        const char* what;
        std::size_t direct, queued, chunk, total;
        bool pauses = false, unfinished = false;
    } cases[] = {
        {"small document, written directly", 1024, 64, 7, 900},
        {"crosses into the writer thread", 100, 64, 7, 5000},
        {"chunks larger than the queue", 10, 16, 100, 3000},
        {"one byte at a time", 0, 8, 1, 1000},
        {"empty", 0, 8, 1, 0},
        // The writer thread waits for more while the engine pauses; every block
        // handed over later must wake it, or the engine waits for room for ever.
        {"an engine that pauses", 0, 64, 16, 320, true},
        {"dropped unfinished: the engine failed", 0, 64, 10, 10000, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Analysis.htm"));
        std::string expected;
        for (std::size_t i = 0; i < c.total; ++i) {
            expected += static_cast<char>('a' + (i * 7 + i / 26) % 26);
        }
        AtomicFile file(path);
        ASSERT_TRUE(file.open());
        {
            DocumentWriter writer(file, c.direct, c.queued);
            for (std::size_t at = 0; at < expected.size(); at += c.chunk) {
                writer.write(std::string_view(expected).substr(at, c.chunk));
                if (c.pauses) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
            }
            ASSERT_TRUE(c.unfinished || writer.finish()) << writer.error().toStdString();
        }
        if (c.unfinished) {  // stops without writing the rest
            file.discard();
            EXPECT_TRUE(
                QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
            continue;
        }
        ASSERT_TRUE(file.commit());
        EXPECT_EQ(test::read_file(path).toStdString(), expected);
    }
}

}  // namespace
}  // namespace quillet
