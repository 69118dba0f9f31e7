// The about box: the link's hover underline, the link and the keys.
#include <gtest/gtest.h>
#include <QLabel>
#include <string_view>
#include <vector>

#include "app_info.h"
#include "dialog_test_support.h"
#include "frm_about.h"
#include "main_window_driver.h"

namespace quillet {
namespace {

using test::child;
using test::RecordingBrowser;

TEST(AboutBox, TheLinkIsUnderlinedUnderTheMouseAndOpensTheSiteAndKeysClose) {
    RecordingBrowser browser;
    frmAbout dialog(browser);
    dialog.show();
    const auto underlined = [&] { return child<QLabel>(dialog, "lblLink").font().underline(); };
    EXPECT_FALSE(underlined());
    // Where the mouse goes, and whether the link is underlined afterwards.
    const std::vector<std::pair<const char*, bool>> moves = {
        {"lblLink", true}, {"lblTitle", true},    {"picIcon", true}, {"lblVersion", true},
        {"cmdOK", true},   {"background", false}, {"lblLink", true}, {"lblDescription", false},
        {"lblLink", true}, {"Line1", false},
    };
    for (const auto& [where, expected] : moves) {
        SCOPED_TRACE(where);
        if (std::string_view(where) == "background") {
            ASSERT_EQ(dialog.childAt(1, 1), nullptr);
            test::move_to(dialog, QPoint(1, 1));
        } else {
            test::move_to(child(dialog, where));
        }
        EXPECT_EQ(underlined(), expected);
    }
    // Each click on the link opens the vendor's site; Enter and Esc close.
    test::click(child(dialog, "lblLink"));
    test::click(child(dialog, "lblLink"));
    EXPECT_EQ(browser.urls, std::vector<QUrl>(2, QUrl(kVendorSite)));
    EXPECT_TRUE(dialog.isVisible());
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout about(browser);
        about.show();
        test::press_key(about, key);
        EXPECT_FALSE(about.isVisible()) << key;
    }
    EXPECT_EQ(browser.urls.size(), 2u);
}

}  // namespace
}  // namespace quillet
