// What a screen reader finds in each window, walking the accessibility tree:
// every control named and described (the parts Qt adds, such as the find
// box's clear button, too), buttons named by their captions, the preview as
// a document of plain text, checkable menu items, and the grid by its name.
#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <memory>

#include "app_info.h"
#include "frm_about.h"
#include "frm_options.h"
#include "frm_path.h"
#include "frm_splash.h"
#include "main_window_driver.h"

namespace quillet::test {
namespace {

struct Control {
    QString object;
    QAccessible::Role role;
    QString name;
    QString description;
};

// Every shown control below node that is one of the window's own (it has an
// object name, which Qt's inner parts such as scroll bars do not). Plain
// containers and decoration are not controls.
void collect(QAccessibleInterface* node, std::vector<Control>& out) {
    for (int i = 0; node != nullptr && i < node->childCount(); ++i) {
        QAccessibleInterface* child = node->child(i);
        if (child == nullptr || child->state().invisible) {
            continue;
        }
        const auto* widget = qobject_cast<const QWidget*>(child->object());
        if (widget == nullptr) {
            continue;  // a cell or a header of the grid
        }
        const QString object = widget->objectName();
        const QAccessible::Role role = child->role();
        const bool control = role != QAccessible::Client && role != QAccessible::Splitter &&
                             role != QAccessible::Separator && role != QAccessible::Border;
        if (control && !object.isEmpty() && !object.startsWith(QLatin1String("qt_"))) {
            out.push_back({object, child->role(), child->text(QAccessible::Name),
                           child->text(QAccessible::Description)});
        }
        collect(child, out);
    }
}

std::vector<Control> controls_of(QWidget& window) {
    std::vector<Control> found;
    collect(QAccessible::queryAccessibleInterface(&window), found);
    return found;
}

class ScreenReader : public MainWindowTest {
protected:
    static QString name_of(QWidget& owner, const char* control) {
        for (const Control& c : controls_of(owner)) {
            if (c.object == control) {
                return c.name;
            }
        }
        return QStringLiteral("(not in the tree)");
    }
};

TEST_F(ScreenReader, EveryControlIsNamedAndDescribedButtonsByTheirCaptionsThePreviewAsText) {
    gstrVersion = QStringLiteral("Version 1.1");
    write_file(html + "1111/Analysis.htm",
               "<html><body><p>Before</p><table><tr><td>Cell</td></tr></table><p>After</p>"
               "</body></html>");
    open_window();
    // The find box with text (its clear button shows) and the preview on.
    find<QAction>("mnuView_Find")->trigger();
    find<QLineEdit>("filterBox")->setText("1111");
    find<QAction>("mnuView_Preview")->trigger();
    process_events();
    EXPECT_EQ(name_of(*window, "filterClear"), "Clear");
    EXPECT_EQ(name_of(*window, "previewSplitterHandle"), "Preview width");

    QAccessibleInterface* preview = QAccessible::queryAccessibleInterface(find<QWidget>("preview"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->role(), QAccessible::Document);
    ASSERT_NE(preview->textInterface(), nullptr);
    const QString text =
        preview->textInterface()->text(0, preview->textInterface()->characterCount());
    EXPECT_TRUE(text.contains("Before") && text.contains("Cell") && text.contains("After"))
        << text.toStdString();
    for (const QString& shown : {text, preview->text(QAccessible::Value)}) {
        EXPECT_FALSE(shown.contains(QChar(0xFDD0)) || shown.contains(QChar(0xFDD1)));
    }

    QMenu* reports = find<QMenu>("mnuRep");
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(reports);
    ASSERT_NE(menu, nullptr);
    QAccessibleInterface* automatic =
        menu->child(static_cast<int>(reports->actions().indexOf(find<QAction>("mnuRep_Auto"))));
    ASSERT_NE(automatic, nullptr);
    EXPECT_EQ(automatic->text(QAccessible::Name), "Convert Automatically");
    // As a check box: the platform's bridge passes on no "checkable" of a
    // plain menu item.
    EXPECT_EQ(automatic->role(), QAccessible::CheckBox);
    EXPECT_TRUE(automatic->state().checkable);

    RecordingBrowser about_browser;
    frmAbout about(about_browser);
    frmOptions options(*sys);
    gintPathTarget = 2;
    frmPath chooser(*sys);
    frmSplash splash;
    // Buttons are named by their captions, without the access key.
    options.show();
    const std::tuple<QWidget*, const char*, const char*> names[] = {
        {window.get(), "cmdConvertOrvella", "Convert Orvella Reports"},
        {window.get(), "gridResults", "Reports"},
        {&options, "cmdDefault", "Default All"},
        {&options, "optConvert(1)", "prompt me to choose YES or NO"},
        {&options, "cmdSetPathOrvella", "Choose Orvella Folder"},  // its caption is "..."
        {&options, "txtPathOrvella", "Orvella Folder"},
    };
    for (const auto& [owner, control, name] : names) {
        EXPECT_EQ(name_of(*owner, control), name);
    }
    // Each window, and the least number of controls it has.
    const std::tuple<const char*, QWidget*, std::size_t> windows[] = {
        {"main window", window.get(), 10},
        {"about box", &about, 6},
        {"options", &options, 20},
        {"folder chooser", &chooser, 6},
        {"splash", &splash, 4}};
    for (const auto& [name, widget, least_controls] : windows) {
        SCOPED_TRACE(name);
        widget->show();
        const std::vector<Control> controls = controls_of(*widget);
        EXPECT_GE(controls.size(), least_controls);
        for (const Control& c : controls) {
            EXPECT_FALSE(c.name.trimmed().isEmpty()) << c.object.toStdString() << " has no name";
            EXPECT_FALSE(c.description.trimmed().isEmpty())
                << c.object.toStdString() << " (" << c.name.toStdString() << ") has no description";
        }
        widget->hide();
    }
}

}  // namespace
}  // namespace quillet::test
