// The Fennick folder taken from dorrant.ini: beside the program, else in the
// user's or the system's configuration folders.
#include <gtest/gtest.h>

#include <QDir>
#include <QScopeGuard>
#include <vector>

#include "settings_sandbox.h"
#include "sys_vars.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::SettingsSandbox;
using test::write_file;

// Keeps the process's current folder across a test that changes it.
auto current_folder_guard() {
    return qScopeGuard([saved = QDir::currentPath()] { QDir::setCurrent(saved); });
}

TEST(DorrantLookup, FirstLineWithTheWordNamesTheFolder) {
    enum Outcome { kChanged, kUnchanged, kFailed };
    struct Case {
        QByteArray content;  // "$DB": the database folder in Windows-1252, without a final "/"
        Outcome outcome;
    };
    const QByteArray big(10 << 20, 'x');
    const Case cases[] = {
        {"[Paths]\r\nDataBase=$DB\r\nx=1\r\n", kChanged},
        {"database=$DB/", kChanged},
        {"olddatabase=$DB\n", kChanged},
        {"a=1\rdatabase=$DB\rb\r", kChanged},  // lone CR line ends
        {"database=$DB/./sub/../\n", kChanged},
        {big + "\ndatabase=$DB", kChanged},
        {big + "database=$DB", kChanged},
        {"database=/no/such/folder\ndatabase=$DB\n", kFailed},  // only the first line counts
        {"database = $DB\n", kFailed},
        {"[Database]\r\npath=$DB\r\n", kUnchanged},
        {"database=\r\n", kUnchanged},
        {"path=$DB\n", kUnchanged},
        {"", kUnchanged},
        {QByteArray("\x00\xff\r\r\n\x7f\x80", 7), kUnchanged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.left(60).toStdString());
        SettingsSandbox box;
        const QString db = box.make_folder(QString::fromUtf8("caf\xc3\xa9 DB"));
        const QString before = box.make_folder("before");
        const auto sys = box.make();
        sys->set_Path_Fennick(before);
        box.write_dorrant(QByteArray(c.content).replace("$DB", db.chopped(1).toLatin1()));

        EXPECT_EQ(sys->pr_Set_FennickPath_to_DorrantDB(), c.outcome != kFailed);
        EXPECT_EQ(sys->Path_Fennick(), c.outcome == kChanged ? db : before);
    }
}

TEST(DorrantLookup, ARelativeValueFollowsTheCurrentFolder) {
    const auto guard = current_folder_guard();
    SettingsSandbox box;
    box.make_folder("work/rel/Sub");
    const auto sys = box.make();
    ASSERT_TRUE(QDir::setCurrent(box.path("work")));
    box.write_dorrant("database=rel/Sub\r\n");
    EXPECT_TRUE(sys->pr_Set_FennickPath_to_DorrantDB());
    EXPECT_EQ(sys->Path_Fennick(), QDir::current().absoluteFilePath("rel/Sub") + "/");
    EXPECT_EQ(QDir::currentPath(), QDir(box.path("work")).absolutePath());
}

TEST(DorrantLookup, LoadingTakesTheFolderOnlyWhenTheChoiceIsOne) {
    struct Case {
        const char* choice;
        const char* dorrant_folder;  // below the sandbox; nullptr: no dorrant.ini
        const char* expected;        // "db" or "own"
    };
    const Case cases[] = {
        {"1", "db", "db"}, {"0", "db", "own"}, {"1", nullptr, "own"}, {"1", "missing", "own"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.choice << " " << (c.dorrant_folder ? c.dorrant_folder : "-"));
        SettingsSandbox box;
        const QString db = box.make_folder("db");
        const QString own = box.make_folder("own");
        if (c.dorrant_folder != nullptr) {
            box.write_dorrant("database=" + box.path(c.dorrant_folder).toUtf8() + "\r\n");
        }
        box.write_ini("[Options]\nFennick=" + own.toUtf8() + "\nFennick%20Choice=" + c.choice +
                      "\n");
        const auto sys = box.make();
        const QString expected = QString(c.expected) == "db" ? db : own;
        EXPECT_EQ(sys->Path_Fennick(), expected);
        EXPECT_EQ(box.stored("Options/Fennick"), expected);
    }
}

TEST(DorrantLookup, FirstExistingFileOfProgramUserAndSystemFolders) {
    // Each place below the sandbox holds a dorrant.ini that names its own
    // database folder, db/<place>; a place ending with "/" holds a folder named
    // dorrant.ini instead, one ending with "!" a dorrant.ini without the word. System folders: XDG_CONFIG_DIRS=etc1:relative:etc2.
    enum ConfigHome { kUnset, kAbsolute, kRelative };  // XDG_CONFIG_HOME: -, config, "config"
    struct Case {
        const char* what;
        std::vector<QString> places;
        ConfigHome config_home;
        QString expected;  // the place whose folder is taken; empty: none
    };
    const Case cases[] = {
        {"beside the program first", {"program", "config/Quillet", "etc1/Quillet"}, kAbsolute,
         "program"},
        {"then the user's folder", {"config/Quillet", "etc1/Quillet"}, kAbsolute,
         "config/Quillet"},
        {"~/.config without XDG_CONFIG_HOME", {"home/.config/Quillet"}, kUnset,
         "home/.config/Quillet"},
        {"a relative XDG_CONFIG_HOME is ignored", {"home/.config/Quillet", "config/Quillet"},
         kRelative, "home/.config/Quillet"},
        {"then the system folders in order", {"etc1/Quillet", "etc2/Quillet"}, kAbsolute,
         "etc1/Quillet"},
        {"a relative system folder is ignored", {"relative/Quillet", "etc2/Quillet"}, kAbsolute,
         "etc2/Quillet"},
        {"only a plain file counts", {"config/Quillet/dorrant.ini/", "etc2/Quillet"}, kAbsolute,
         "etc2/Quillet"},
        {"a file without the word still hides the later places", {"program!", "config/Quillet"},
         kAbsolute, ""},
        {"none anywhere", {}, kAbsolute, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto guard = current_folder_guard();
        SettingsSandbox box;
        ASSERT_TRUE(QDir::setCurrent(box.path("")));  // where "relative" would lead
        const QString before = box.make_folder("before");
        if (c.config_home != kUnset) {
            box.environment["XDG_CONFIG_HOME"] =
                c.config_home == kAbsolute ? box.path("config") : QStringLiteral("config");
        }
        box.environment["XDG_CONFIG_DIRS"] = box.path("etc1") + ":relative:" + box.path("etc2");
        for (const QString& place : c.places) {
            if (place.endsWith('/')) {
                box.make_folder(place);
            } else if (place.endsWith('!')) {
                write_file(box.path(place.chopped(1) + "/dorrant.ini"), "[Paths]\r\npath=db\r\n");
            } else {
                const QString db = box.make_folder("db/" + place);
                write_file(box.path(place + "/dorrant.ini"), "database=" + db.toUtf8() + "\n");
            }
        }
        const auto sys = box.make();
        sys->set_Path_Fennick(before);

        EXPECT_TRUE(sys->pr_Set_FennickPath_to_DorrantDB());
        EXPECT_EQ(sys->Path_Fennick(),
                  c.expected.isEmpty() ? before : box.path("db/" + c.expected + "/"));
    }
}

}  // namespace
}  // namespace quillet
