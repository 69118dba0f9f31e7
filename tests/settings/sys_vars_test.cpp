// Creating the settings object: defaults, loading, migration, repair, saving.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QSettings>

#include "settings_sandbox.h"
#include "sys_vars.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::SettingsSandbox;

TEST(SysVarsLoad, FirstStartUsesDefaultsCreatesFoldersAndWritesTheFiveKeys) {
    SettingsSandbox box;
    const auto sys = box.make();

    EXPECT_EQ(sys->Path_Orvella(), box.temp_folder());
    EXPECT_EQ(sys->Path_Fennick(), box.default_fennick());
    EXPECT_EQ(sys->Path_HTMLReports(), box.default_html());
    EXPECT_EQ(sys->Gen_ConvertOption(), 0);
    EXPECT_EQ(sys->Gen_FennickChoice(), 0);  // an absent key reads as 0
    for (const QString& folder : {box.temp_folder(), box.default_fennick(), box.default_html()}) {
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    }
    EXPECT_EQ(box.stored("Options/Orvella"), box.temp_folder());
    EXPECT_EQ(box.stored("Options/Fennick"), box.default_fennick());
    EXPECT_EQ(box.stored("Options/HTML Reports"), box.default_html());
    EXPECT_EQ(box.stored("Options/Convert Option"), "0");
    EXPECT_EQ(box.stored("Options/Fennick Choice"), "0");
}

TEST(SysVarsDefaults, TemporaryAndDataFoldersComeFromTheEnvironment) {
    struct Case {
        std::map<std::string, QString> env;  // relative to the sandbox; "/x" stays absolute
        QString orvella;
        QString fennick;
    };
    const std::vector<Case> cases = {
        // Capitals and no final separator: kept as given, separator appended.
        {{{"TEMP", "Big/TEMP"}, {"XDG_DATA_HOME", "xdg"}},
         "Big/TEMP/",
         "xdg/orvella suite/orvella/db/"},
        {{{"TMP", "t2/"}, {"TMPDIR", "t3"}, {"HOME", "h"}},
         "t2/",
         "h/.local/share/orvella suite/orvella/db/"},
        {{{"TMPDIR", "t3"}, {"HOME", "h"}, {"XDG_DATA_HOME", "relative/ignored"}},
         "t3/",
         "h/.local/share/orvella suite/orvella/db/"},
        {{{"HOME", "h"}, {"XDG_DATA_HOME", "xdg//"}}, "/tmp/", "xdg/orvella suite/orvella/db/"},
        // A default that cannot be made (a file in its way) still ends loading.
        {{{"XDG_DATA_HOME", "blocker"}}, "/tmp/", "blocker/orvella suite/orvella/db/"},
    };
    for (const Case& c : cases) {
        SettingsSandbox box;
        test::write_file(box.path("blocker"), "a file, not a folder");
        box.environment.clear();
        for (const auto& [name, value] : c.env) {
            const bool relative_xdg = name == "XDG_DATA_HOME" && value.startsWith("relative");
            box.environment[name] = relative_xdg ? value : box.path(value);
        }
        const auto sys = box.make();
        const QString orvella = c.orvella.startsWith('/') ? c.orvella : box.path(c.orvella);
        EXPECT_EQ(sys->Default_Path_Orvella(), orvella);
        EXPECT_EQ(sys->Default_Path_Fennick(), box.path(c.fennick));
        EXPECT_TRUE(sys->Default_Path_HTMLReports().endsWith("/orvella suite/dorrant/reports/"));
        EXPECT_EQ(sys->Path_HTMLReports(), sys->Default_Path_HTMLReports());
        EXPECT_EQ(box.stored("Options/HTML Reports"), sys->Path_HTMLReports());
    }
}

TEST(SysVarsLoad, LegacyKeysWinAndAreDeletedAndVanishedFoldersFallBackToTheirDefaults) {
    SettingsSandbox box;
    const QString legacy_source = box.make_folder("legacy source");
    const QString legacy_dest = box.make_folder("legacy dest");
    const QString options_orvella = box.make_folder("options orvella");
    box.write_ini("[Options]\nOrvella=" + options_orvella.toUtf8() +
                  "\nFennick=" + box.path("gone/fennick/").toUtf8() + "\nConvert%20Option=1\n" +
                  "[Settings]\nSourcePath=" + legacy_source.toUtf8() + "\nDestPath=" +
                  legacy_dest.toUtf8() + "\nConvert%20Option=2\nLeft=1200\n");
    const auto sys = box.make();

    EXPECT_EQ(sys->Path_Orvella(), legacy_source);
    EXPECT_EQ(sys->Path_HTMLReports(), legacy_dest);
    EXPECT_EQ(sys->Path_Fennick(), box.default_fennick());
    EXPECT_EQ(sys->Gen_ConvertOption(), 1);
    EXPECT_EQ(box.stored("Settings/SourcePath"), "<absent>");
    EXPECT_EQ(box.stored("Settings/DestPath"), "<absent>");
    EXPECT_EQ(box.stored("Settings/Convert Option"), "<absent>");
    EXPECT_EQ(box.stored("Settings/Left"), "1200");
    EXPECT_EQ(box.stored("Options/Orvella"), legacy_source);
    EXPECT_EQ(box.stored("Options/HTML Reports"), legacy_dest);
    EXPECT_EQ(box.stored("Options/Fennick"), box.default_fennick());
}

TEST(SysVarsLoad, SectionAndKeyNamesIgnoreLetterCase) {
    SettingsSandbox box;
    const QString html = box.make_folder("Reports");
    box.write_ini("[OPTIONS]\nhtml%20reports=" + html.toUtf8() +
                  "\nCONVERT%20OPTION=2\n[settings]\nsourcepath=" + html.toUtf8() + "\n");
    const auto sys = box.make();

    EXPECT_EQ(sys->Path_HTMLReports(), html);
    EXPECT_EQ(sys->Path_Orvella(), html);
    EXPECT_EQ(sys->Gen_ConvertOption(), 2);
    // Saving replaced the keys in place instead of adding second spellings.
    QSettings store(box.ini_file(), QSettings::IniFormat);
    EXPECT_EQ(store.childGroups(), QStringList{"OPTIONS"});
    store.beginGroup("OPTIONS");
    EXPECT_EQ(store.childKeys().size(), 5) << store.childKeys().join(',').toStdString();
    EXPECT_EQ(store.value("CONVERT OPTION").toString(), "2");
    // The first of two spellings counts; a key is written and deleted in any letter case.
    box.write_ini("[Settings]\nWidth=100\n[settings]\nwidth=200\n");
    QSettings two(box.ini_file(), QSettings::IniFormat);
    EXPECT_EQ(read_setting(two, "SETTINGS", "WIDTH", "x"), "100");
    write_setting(two, "New Section", "Key", "v");
    EXPECT_EQ(two.value("New Section/Key").toString(), "v");
    EXPECT_TRUE(delete_setting(two, "new section", "KEY"));
    EXPECT_FALSE(delete_setting(two, "new section", "KEY"));
    EXPECT_EQ(read_setting(two, "New Section", "Key", "gone"), "gone");
}

TEST(SysVarsLoad, NumbersRoundHalfToEvenAndBadValuesKeepTheResetValue) {
    struct Case {
        const char* stored;  // nullptr: key absent
        std::int16_t convert_option;
        std::int16_t fennick_choice;
    };
    const Case cases[] = {
        {nullptr, 0, 0},        {"2", 2, 2},
        {"not a number", 0, 1}, {"", 0, 1},
        {"1.5", 2, 2},          {"2.5", 2, 2},
        {"-0.5", 0, 0},         {" 3 ", 3, 3},
        {"1e1", 10, 10},        {"32767", 32767, 32767},
        {"32767.5", 0, 1},      {"-32768", -32768, -32768},
        {"70000", 0, 1},        {"inf", 0, 1},
        {"nan", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(absent)");
        SettingsSandbox box;
        if (c.stored != nullptr) {
            QSettings store(box.ini_file(), QSettings::IniFormat);
            store.setValue("Options/Convert Option", c.stored);
            store.setValue("Options/Fennick Choice", c.stored);
        }
        const auto sys = box.make();
        EXPECT_EQ(sys->Gen_ConvertOption(), c.convert_option);
        EXPECT_EQ(sys->Gen_FennickChoice(), c.fennick_choice);
        EXPECT_EQ(box.stored("Options/Convert Option"), QString::number(c.convert_option));
    }
}

TEST(SysVarsLoad, CorruptStoreGivesDefaultsAndSavingRepairsIt) {
    QByteArray garbage(4096, '\0');
    QRandomGenerator rng(42);
    for (char& byte : garbage) {
        byte = static_cast<char>(rng.bounded(256));
    }
    for (const QByteArray& bytes : {garbage, QByteArray("[Options\nOrvella\n\x01\x02=[[[\n")}) {
        SettingsSandbox box;
        box.write_ini(bytes);
        const auto sys = box.make();
        EXPECT_EQ(sys->Path_Orvella(), box.temp_folder());
        EXPECT_EQ(sys->Path_HTMLReports(), box.default_html());
        EXPECT_EQ(sys->Gen_ConvertOption(), 0);

        QSettings reread(box.ini_file(), QSettings::IniFormat);
        EXPECT_EQ(reread.status(), QSettings::NoError);
        EXPECT_EQ(reread.value("Options/HTML Reports").toString(), box.default_html());
        EXPECT_EQ(reread.value("Options/Fennick Choice").toString(), "0");
    }
}

TEST(SysVars, FolderSettersAppendOneSeparatorAndSaveNothingWithOrWithoutAProgramFolder) {
    SettingsSandbox box;
    const auto sys = box.make();
    const std::pair<QString, QString> cases[] = {
        {"/data/reports", "/data/reports/"}, {"/data/reports/", "/data/reports/"}, {"", "/"}};
    for (const auto& [given, stored] : cases) {
        sys->set_Path_HTMLReports(given);
        EXPECT_EQ(sys->Path_HTMLReports(), stored);
    }
    sys->set_Path_Orvella("/o");
    sys->set_Path_Fennick("/f");
    EXPECT_EQ(sys->Path_Orvella() + sys->Path_Fennick(), "/o//f/");
    EXPECT_EQ(box.stored("Options/Orvella"), box.temp_folder());

    // Without a program folder, the settings look beside the program.
    auto options = box.options();
    options.program_folder.clear();
    const cSys_vars beside(options);
    EXPECT_FALSE(beside.program_folder().isEmpty());
    EXPECT_EQ(beside.program_folder(), cSys_vars::user_options().program_folder);
}

TEST(SysVars, ExistenceChecksAndTheDocumentDate) {
    SettingsSandbox box;
    const QString folder = box.make_folder("here");
    test::write_file(folder + "file.htm", "x");
    const std::pair<QString, bool> cases[] = {
        {"", false},
        {folder, true},
        {folder + "file.htm", true},
        {folder + "nope", false},
        {folder + "file.htm/", false},
        {QString("bad") + QChar(u'\0') + "name", false},
    };
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(cSys_vars::fn_CheckPathExists(path), exists) << path.toStdString();
        EXPECT_EQ(cSys_vars::fn_CheckFileExists(path), exists) << path.toStdString();
    }
    // The document date: the short date and the time, or nothing.
    const QDateTime when(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(format_document_date(when),
              QLocale::system().toString(when.date(), QLocale::ShortFormat) + " 14:07:09");
    EXPECT_EQ(format_document_date(QDateTime()), "");
}

TEST(ReportList, GrowsKeepsSurplusEntriesAndChecksEntryNumbers) {
    SettingsSandbox box;
    const auto sys = box.make();
    EXPECT_THROW(sys->entry(1), std::out_of_range);
    sys->set_Rep_FileCount(30000);  // no fixed capacity
    sys->entry(30000).Rep_Comment = "last";
    sys->entry(2).Rep_Comment = "second";
    sys->set_Rep_FileCount(1);
    EXPECT_THROW(sys->entry(2), std::out_of_range);
    EXPECT_THROW(sys->entry(0), std::out_of_range);
    EXPECT_THROW(sys->set_Rep_FileCount(-1), std::out_of_range);
    sys->set_Rep_FileCount(30000);
    EXPECT_EQ(sys->entry(2).Rep_Comment, "second");
    EXPECT_EQ(sys->entry(30000).Rep_Comment, "last");
}

}  // namespace
}  // namespace quillet
