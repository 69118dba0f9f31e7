// Light and dark colour schemes: every text of every window keeps a contrast
// of 4.5:1 with its background, the grid's rows and selection included, the
// outlines of the dark scheme's controls 3:1, the light scheme keeps the
// colours the windows were designed with, and the desktop's dark preference
// is followed where the platform's palette does not.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <memory>

#include "colour_scheme.h"
#include "desktop_colour_scheme.h"
#include "frm_about.h"
#include "frm_options.h"
#include "frm_path.h"
#include "main_window_driver.h"

namespace quillet::test {
namespace {

QPalette light_palette() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

class ColourScheme : public MainWindowTest {
protected:
    ColourScheme() : style_(QApplication::style()->name()), palette_(QApplication::palette()) {}
    ~ColourScheme() override {
        QApplication::setStyle(style_);
        QApplication::setPalette(palette_);
    }

    // Every enabled, visible text control of window whose text reads on its
    // own background with less than the least contrast, with the figure.
    static std::vector<std::string> low_contrast_texts(const QWidget& window) {
        std::vector<std::string> low;
        for (const QWidget* control : window.findChildren<QWidget*>()) {
            const bool has_text = qobject_cast<const QLabel*>(control) != nullptr ||
                                  qobject_cast<const QAbstractButton*>(control) != nullptr ||
                                  qobject_cast<const QLineEdit*>(control) != nullptr;
            if (!has_text || !control->isVisibleTo(&window) || !control->isEnabled()) {
                continue;
            }
            const QPalette& palette = control->palette();
            const double ratio = contrast_ratio(palette.color(control->foregroundRole()),
                                                palette.color(control->backgroundRole()));
            if (ratio < kLeastTextContrast) {
                low.push_back(control->objectName().toStdString() + " " + std::to_string(ratio));
            }
        }
        return low;
    }

    // Every visible control of window whose outline (an option button's or
    // check box's ring, the edge of a button, a text box or a list) reaches
    // less than the least contrast against the window, with the figure. The
    // outline is the most contrasting pixel of the control's edge.
    static std::vector<std::string> faint_outlines(QWidget& window) {
        std::vector<std::string> faint;
        for (QWidget* control : window.findChildren<QWidget*>()) {
            const bool indicator = qobject_cast<QRadioButton*>(control) != nullptr ||
                                   qobject_cast<QCheckBox*>(control) != nullptr;
            const bool boxed = qobject_cast<QPushButton*>(control) != nullptr ||
                               qobject_cast<QLineEdit*>(control) != nullptr ||
                               (qobject_cast<QAbstractItemView*>(control) != nullptr &&
                                qobject_cast<QHeaderView*>(control) == nullptr);
            if (!(indicator || boxed) || !control->isVisibleTo(&window)) {
                continue;
            }
            const QImage image = control->grab().toImage();
            const qreal ratio = image.devicePixelRatio();
            const QColor window_colour = control->palette().color(QPalette::Window);
            QRect edge(0, control->height() / 4, 3, control->height() / 2);  // left, middle half
            QRect inside;
            if (indicator) {
                QStyleOptionButton option;
                option.initFrom(control);
                edge = control->style()->subElementRect(qobject_cast<QRadioButton*>(control)
                                                            ? QStyle::SE_RadioButtonIndicator
                                                            : QStyle::SE_CheckBoxIndicator,
                                                        &option, control);
                inside = edge.adjusted(3, 3, -3, -3);  // the dot or the tick
            }
            double most = 1;
            for (int y = edge.top(); y <= edge.bottom(); ++y) {
                for (int x = edge.left(); x <= edge.right(); ++x) {
                    if (!inside.contains(x, y)) {
                        most = std::max(most, contrast_ratio(image.pixelColor(QPoint(x, y) * ratio),
                                                             window_colour));
                    }
                }
            }
            if (most < kLeastOutlineContrast) {
                faint.push_back(control->objectName().toStdString() + " " + std::to_string(most));
            }
        }
        return faint;
    }

    // The colour the grid paints at the empty right end of row n's last cell.
    QColor painted_background(int n) {
        const QImage image = grid().viewport()->grab().toImage();
        const QRect cell =
            grid().visualRect(grid().model()->index(n - 1, model().columnCount() - 1));
        return image.pixelColor(cell.right() - 3, cell.center().y());
    }

    QString style_;
    QPalette palette_;
};

// The main window and the about box stay open from the light scheme to the
// dark one and follow the change.
TEST_F(ColourScheme, GridRowsSelectionAndEveryWindowsTextsReadInBothSchemes) {
    QApplication::setPalette(light_palette());
    // Two reports converted, one between them that could not be.
    write_file(orvella + "~drntrpa01.tmp", orvella_report("4711"));
    write_file(orvella + "~drntrpa02.tmp", "not a report\r\n");
    write_file(orvella + "~drntrpd01.tmp", orvella_report("4711"));
    open_window();
    trigger("mnuRep_Orvella");
    ASSERT_EQ(model().rowCount(), 3);
    find<QLabel>("lblPromptUser")->show();
    RecordingBrowser about_browser;
    frmAbout about(about_browser);
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        const QPalette scheme_palette = dark ? dark_palette() : light_palette();
        QApplication::setPalette(scheme_palette);
        process_events();
        const QPalette& palette = grid().palette();
        EXPECT_EQ(painted_background(3), scheme_palette.color(QPalette::Base));
        EXPECT_EQ(row_colours(3).second, scheme_palette.color(QPalette::Text));
        EXPECT_TRUE(is_greyed_out(row_colours(2)));
        for (int n = 2; n <= 3; ++n) {  // row 1 is selected
            SCOPED_TRACE(n);
            const auto [background, text] = row_colours(n);
            EXPECT_EQ(painted_background(n), background);
            EXPECT_GE(contrast_ratio(text, background), kLeastTextContrast);
        }
        // The selected row: highlighted text on the highlight the grid paints,
        // with the window active and not.
        const QColor selection = painted_background(1);
        EXPECT_EQ(selection, selection_colour(palette, QPalette::Active));
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            EXPECT_GE(contrast_ratio(palette.color(group, QPalette::HighlightedText),
                                     selection_colour(palette, group)),
                      kLeastTextContrast)
                << group;
        }
        // The header row.
        EXPECT_GE(
            contrast_ratio(palette.color(QPalette::ButtonText), palette.color(QPalette::Button)),
            kLeastTextContrast);

        // The texts of every window.
        EXPECT_EQ(low_contrast_texts(*window), std::vector<std::string>{});
        EXPECT_EQ(low_contrast_texts(about), std::vector<std::string>{});
        // The light scheme keeps the designed colours; the dark takes the palette's.
        EXPECT_EQ(is_dark(QApplication::palette()), dark);
        const QColor label_text =
            dark ? scheme_palette.color(QPalette::WindowText) : QColor(0, 0, 0);
        for (const char* label : {"lblTitle", "lblDescription"}) {
            EXPECT_EQ(about.findChild<QLabel*>(label)->palette().color(QPalette::WindowText),
                      label_text)
                << label;
        }
        EXPECT_EQ(about.findChild<QLabel*>("lblLink")->palette().color(QPalette::WindowText),
                  dark ? with_contrast(scheme_palette.color(QPalette::Link),
                                       scheme_palette.color(QPalette::Window))
                       : QColor(0, 0, 255));
        frmOptions options(*sys);
        EXPECT_EQ(low_contrast_texts(options), std::vector<std::string>{});
        gintPathTarget = 2;
        frmPath chooser(*sys);
        EXPECT_EQ(low_contrast_texts(chooser), std::vector<std::string>{});
    }
}

TEST_F(ColourScheme, EveryControlsOutlineStandsOutInTheDarkScheme) {
    QApplication::setPalette(light_palette());
    DesktopColourScheme desktop;
    desktop.apply(DesktopScheme::dark);
    for_every_window([&](QWidget& shown) {
        shown.show();
        process_events();
        EXPECT_EQ(faint_outlines(shown), std::vector<std::string>{})
            << shown.metaObject()->className();
        shown.hide();
    });
}

TEST_F(ColourScheme, TheDesktopsPreferenceSwitchesTheSchemeBothWays) {
    ASSERT_FALSE(is_dark(QApplication::palette()));
    DesktopColourScheme scheme;
    for (const DesktopScheme preference :
         {DesktopScheme::no_preference, DesktopScheme::dark, DesktopScheme::dark,
          DesktopScheme::light, DesktopScheme::dark, DesktopScheme::no_preference}) {
        scheme.apply(preference);
        const bool dark = preference == DesktopScheme::dark;
        EXPECT_EQ(is_dark(QApplication::palette()), dark) << static_cast<int>(preference);
        const auto* proxy = qobject_cast<const QProxyStyle*>(QApplication::style());
        EXPECT_EQ((proxy != nullptr ? proxy->baseStyle() : QApplication::style())->name(),
                  dark ? "fusion" : style_.toLower());
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

TEST(ContrastRatio, FollowsTheGuidelinesFigures) {
    const std::pair<QColor, double> on_white[] = {
        {Qt::black, 21.0},
        {Qt::white, 1.0},
        {QColor(0x76, 0x76, 0x76), 4.54},  // the lightest grey that passes on white
        {QColor(0, 0, 255), 8.59},
    };
    for (const auto& [colour, ratio] : on_white) {
        EXPECT_NEAR(contrast_ratio(colour, Qt::white), ratio, 0.01) << colour.name().toStdString();
        EXPECT_NEAR(contrast_ratio(Qt::white, colour), ratio, 0.01);
    }
    // Too faint a colour is moved away from its background until it reads.
    for (const auto& [colour, background] :
         {std::pair{QColor(0x20, 0x40, 0xa0), QColor(0x2d, 0x2d, 0x2d)},
          std::pair{QColor(0xbe, 0xbe, 0xbe), QColor(Qt::white)}}) {
        const QColor adjusted = with_contrast(colour, background);
        EXPECT_GE(contrast_ratio(adjusted, background), kLeastTextContrast);
        EXPECT_LT(contrast_ratio(adjusted, background), kLeastTextContrast + 0.5);
    }
}

}  // namespace
}  // namespace quillet::test
