// "Options"/"Auto Convert": off unless stored, read in any letter case, and
// never written into a store that did not have it until it is turned on.
#include <gtest/gtest.h>

#include <QSettings>

#include "settings_sandbox.h"
#include "test_support.h"

namespace quillet {
namespace {

using test::SettingsSandbox;

TEST(AutoConvertSetting, ReadInAnyLetterCaseAndWrittenOnceTurnedOn) {
    const struct {
        const char* ini;
        bool on;
    } cases[] = {
        {"", false},
        {"[Options]\nAuto%20Convert=1\n", true},
        {"[OPTIONS]\nauto%20convert=1\n", true},
        {"[Options]\nAuto%20Convert=0\n", false},
        {"[Options]\nAuto%20Convert=yes\n", false},
        {"[Options]\nAuto%20Convert=2\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        SettingsSandbox box;
        box.write_ini(c.ini);
        EXPECT_EQ(box.make()->Gen_AutoConvert(), c.on);
    }

    // Written once turned on, and from then on.
    SettingsSandbox box;
    auto sys = box.make();
    sys->pr_Save_Sys_Settings();
    EXPECT_FALSE(test::read_file(box.ini_file()).contains("Auto")) << "not written while off";

    sys->set_Gen_AutoConvert(true);
    sys->pr_Save_Sys_Settings();
    EXPECT_EQ(box.stored("Options/Auto Convert"), "1");
    sys->set_Gen_AutoConvert(false);
    sys->pr_Save_Sys_Settings();
    EXPECT_EQ(box.stored("Options/Auto Convert"), "0");
}

}  // namespace
}  // namespace quillet
