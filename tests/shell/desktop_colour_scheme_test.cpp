// Following the desktop's dark preference where the platform's palette does not.
#include <gtest/gtest.h>
#include <QApplication>
#include <QProxyStyle>
#include <QStyle>

#include "colour_scheme.h"
#include "desktop_colour_scheme.h"

namespace quillet {
namespace {

class DesktopColourSchemeTest : public ::testing::Test {
protected:
    DesktopColourSchemeTest()
        : style_(QApplication::style()->name()), palette_(QApplication::palette()) {}
    ~DesktopColourSchemeTest() override {
        QApplication::setStyle(style_);
        QApplication::setPalette(palette_);
    }
    static bool dark() { return is_dark(QApplication::palette()); }

    QString style_;
    QPalette palette_;
};

TEST_F(DesktopColourSchemeTest, TheDesktopsPreferenceSwitchesTheSchemeBothWays) {
    ASSERT_FALSE(dark());
    DesktopColourScheme scheme;
    struct Step {
        DesktopScheme preference;
        bool dark;
    };
    const Step steps[] = {
        {DesktopScheme::no_preference, false}, {DesktopScheme::dark, true},
        {DesktopScheme::dark, true},           {DesktopScheme::light, false},
        {DesktopScheme::dark, true},           {DesktopScheme::no_preference, false}};
    for (const Step& step : steps) {
        scheme.apply(step.preference);
        EXPECT_EQ(dark(), step.dark) << static_cast<int>(step.preference);
        const auto* proxy = qobject_cast<const QProxyStyle*>(QApplication::style());
        EXPECT_EQ((proxy != nullptr ? proxy->baseStyle() : QApplication::style())->name(),
                  step.dark ? "fusion" : style_.toLower());
    }
    // A dark palette of the platform is left as it is.
    const QPalette platform_dark = dark_palette();
    QApplication::setPalette(platform_dark);
    DesktopColourScheme on_dark;
    on_dark.apply(DesktopScheme::dark);
    EXPECT_FALSE(on_dark.switched_to_dark());
    on_dark.apply(DesktopScheme::light);  // the platform's own: not ours to undo
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              platform_dark.color(QPalette::Window));
}

TEST(DesktopSchemeValue, FollowsThePortalsCodes) {
    EXPECT_EQ(DesktopColourScheme::from_portal_value(0), DesktopScheme::no_preference);
    EXPECT_EQ(DesktopColourScheme::from_portal_value(1), DesktopScheme::dark);
    EXPECT_EQ(DesktopColourScheme::from_portal_value(2), DesktopScheme::light);
    EXPECT_EQ(DesktopColourScheme::from_portal_value(7), DesktopScheme::no_preference);
}

}  // namespace
}  // namespace quillet
