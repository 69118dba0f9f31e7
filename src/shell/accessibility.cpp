#include "accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSplitter>
#include <QString>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <span>
#include <string_view>

namespace quillet {

namespace {

struct ControlText {
    const char* control;  // object name
    const char* name;     // nullptr: the caption, the text or the label's text
    const char* description;
};

constexpr ControlText kMainWindow[] = {
    {"gridResults", "Reports",
     "The HTML reports, one row each. Enter or a double-click opens the selected report in the "
     "web browser; the menu key shows the popup menu."},
    {"lblPromptUser", nullptr, "How to open a report of the list."},
    {"cmdConvertOrvella", nullptr,
     "Converts every report of the Orvella reports folder into an HTML document. Alt+O."},
    {"cmdConvertFennick", nullptr,
     "Converts every report of the Fennick reports folder into an HTML document. Alt+E."},
    {"cmdShowReports", nullptr,
     "Lists the HTML documents of the HTML reports folder. Alt+S or F5."},
    {"cmdOptions", nullptr,
     "Sets the report folders and what a conversion does with a document that exists. Alt+P or "
     "Ctrl+comma."},
    {"batchProgress", "Conversion progress", "How many reports of the batch are done."},
    {"cmdCancelBatch", nullptr, "Stops the conversion after the reports in hand. Esc."},
    {"filterBox", nullptr,
     "Shows only the reports whose student number, name or comment hold the text."},
    {"filterCount", nullptr, "How many reports the find box shows."},
    {"filterClear", "Clear", "Empties the find box, so that every report is shown again."},
    {"previewSplitterHandle", "Preview width",
     "Drag it to share the width between the list of reports and the preview."},
    {"preview", "Preview", "The selected report's document."},
    {"lblWatching", nullptr, "Which folders are watched for new reports."},
};

constexpr ControlText kOptions[] = {
    {"Frame1", "Folders", "The folders of the reports and of the HTML documents."},
    {"lblPathFennick", nullptr, "The folder of the Fennick reports."},
    {"txtPathFennick", "Fennick Folder",
     "The folder of the Fennick reports; the button beside it changes it."},
    {"cmdSetPathFennick", "Choose Fennick Folder",
     "Opens the folder chooser for the Fennick folder."},
    {"lblPathOrvella", nullptr, "The folder of the Orvella reports."},
    {"txtPathOrvella", "Orvella Folder",
     "The folder of the Orvella reports; the button beside it changes it."},
    {"cmdSetPathOrvella", "Choose Orvella Folder",
     "Opens the folder chooser for the Orvella folder."},
    {"lblPathHTMLReports", nullptr, "The folder of the HTML documents."},
    {"txtPathHTMLReports", "HTML Reports Folder",
     "The folder the HTML documents are written to; the button beside it changes it."},
    {"cmdSetPathHTMLReports", "Choose HTML Reports Folder",
     "Opens the folder chooser for the HTML reports folder."},
    {"fraConvert", "Existing documents",
     "What a conversion does with an HTML document that exists."},
    {"lblConvert", nullptr, "The sentence that the chosen option ends."},
    {"optConvert(0)", nullptr, "The new document replaces the existing one."},
    {"optConvert(1)", nullptr, "Each time, a question asks whether to replace it."},
    {"optConvert(2)", nullptr, "The existing document stays; the report is not converted."},
    {"fraFennickChoice", "Fennick folder", "Where the Fennick reports are taken from."},
    {"lblFennickChoice", nullptr, "The sentence that the chosen option ends."},
    {"optFennickChoice(0)", nullptr, "The Fennick folder set above."},
    {"optFennickChoice(1)", nullptr, "The database folder named in Dorrant's settings."},
    {"cmdDefault", nullptr, "Puts the default folders and options into the dialog. Esc."},
    {"cmdCancel", nullptr, "Closes the dialog without storing its fields."},
    {"cmdOK", nullptr, "Stores and saves the fields and closes the dialog. Enter."},
};

constexpr ControlText kFolderChooser[] = {
    {"Frame1", "Folder", "The open folder and the folder tree."},
    {"lblFolder", nullptr, "The open folder follows."},
    {"open_folder", nullptr, "The open folder, which OK stores."},
    {"dirDisplay", "Folders",
     "The folder tree. Arrow keys and a click highlight a folder; Enter or a double-click opens "
     "it."},
    {"highlighted_folder", nullptr, "The full path of the highlighted folder."},
    {"cmdCancel", nullptr, "Closes the chooser; nothing is stored."},
    {"cmdOK", nullptr, "Stores the open folder and closes the chooser."},
};

constexpr ControlText kAbout[] = {
    {"cmdOK", nullptr, "Closes the about box. Enter or Esc."},
    {"picIcon", "Quillet icon", "The program's icon."},
    {"lblTitle", nullptr, "The program's name."},
    {"lblVersion", nullptr, "The program's version."},
    {"lblDescription", nullptr, "What the program does."},
    {"lblLink", nullptr, "The vendor's web site; a click opens it in the web browser."},
};

constexpr ControlText kSplash[] = {
    {"fraTitle", "Quillet", "Quillet is starting."},   {"lblTitle", nullptr, "The program's name."},
    {"lblAppDesc", nullptr, "What the program does."}, {"Label1", nullptr, "Quillet is starting."},
    {"lblVersion", nullptr, "The program's version."},
};

struct WindowTexts {
    std::string_view window;  // class name
    std::span<const ControlText> controls;
};

constexpr WindowTexts kWindows[] = {
    {"quillet::frmMain", kMainWindow},    {"quillet::frmOptions", kOptions},
    {"quillet::frmPath", kFolderChooser}, {"quillet::frmAbout", kAbout},
    {"quillet::frmSplash", kSplash},
};

// The name a control has of itself: a button's caption, a text box's label.
// Empty for a label: its text, which may change, is its name already.
QString own_name(const QWidget& control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        return without_access_key(button->text());
    }
    if (qobject_cast<const QLineEdit*>(&control) != nullptr) {
        for (const QLabel* label : control.window()->findChildren<QLabel*>()) {
            if (label->buddy() == &control) {
                QString text = without_access_key(label->text()).trimmed();
                if (text.endsWith(u':')) {
                    text.chop(1);
                }
                return text;
            }
        }
    }
    return {};
}

// Parts that Qt makes of its own get the object names the table above knows:
// the find box's clear button and the handle between the list and the preview.
void name_inner_parts(QWidget& window) {
    if (auto* box = window.findChild<QLineEdit*>(QStringLiteral("filterBox"))) {
        for (QToolButton* button : box->findChildren<QToolButton*>()) {
            button->setObjectName(QStringLiteral("filterClear"));
        }
    }
    if (auto* splitter = window.findChild<QSplitter*>(QStringLiteral("previewSplitter"));
        splitter != nullptr && splitter->count() > 1) {
        splitter->handle(1)->setObjectName(QStringLiteral("previewSplitterHandle"));
    }
}

// The preview as a screen reader should find it: a document, not a label,
// whose text is the text shown, without the marks that the rich-text engine
// keeps where tables begin and end.
class PreviewInterface final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit PreviewInterface(QTextBrowser* preview)
        : QAccessibleWidget(preview, QAccessible::Document) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? plain_text() : QAccessibleWidget::text(t);
    }

    QString text(int start, int end) const override { return plain_text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(plain_text().size()); }
    int cursorPosition() const override { return browser()->textCursor().position(); }
    void setCursorPosition(int position) override {
        QTextCursor cursor = browser()->textCursor();
        cursor.setPosition(std::clamp(position, 0, characterCount()));
        browser()->setTextCursor(cursor);
    }
    int selectionCount() const override { return browser()->textCursor().hasSelection() ? 1 : 0; }
    void selection(int index, int* start, int* end) const override {
        const QTextCursor cursor = browser()->textCursor();
        const bool has = index == 0 && cursor.hasSelection();
        *start = has ? cursor.selectionStart() : 0;
        *end = has ? cursor.selectionEnd() : 0;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override {
        QTextCursor cursor = browser()->textCursor();
        cursor.clearSelection();
        browser()->setTextCursor(cursor);
    }
    void setSelection(int, int start, int end) override {
        QTextCursor cursor = browser()->textCursor();
        cursor.setPosition(std::clamp(start, 0, characterCount()));
        cursor.setPosition(std::clamp(end, 0, characterCount()), QTextCursor::KeepAnchor);
        browser()->setTextCursor(cursor);
    }
    QRect characterRect(int offset) const override {
        QTextCursor cursor(browser()->document());
        cursor.setPosition(std::clamp(offset, 0, characterCount()));
        const QRect rect = browser()->cursorRect(cursor);
        return {browser()->viewport()->mapToGlobal(rect.topLeft()), rect.size()};
    }
    int offsetAtPoint(const QPoint& point) const override {
        return browser()->cursorForPosition(browser()->viewport()->mapFromGlobal(point)).position();
    }
    void scrollToSubstring(int start, int) override {
        QTextCursor cursor(browser()->document());
        cursor.setPosition(std::clamp(start, 0, characterCount()));
        browser()->setTextCursor(cursor);
        browser()->ensureCursorVisible();
    }
    QString attributes(int offset, int* start, int* end) const override {
        *start = offset;
        *end = offset;
        return {};
    }

private:
    QTextBrowser* browser() const { return static_cast<QTextBrowser*>(widget()); }
    // One character for each position of the document, as the cursor counts.
    QString plain_text() const { return browser()->document()->toPlainText(); }
};

// A menu item that can be checked ("Convert Automatically", "Preview", the
// sort items), exposed as a check box (an option button in a group) so that
// screen readers say it can be checked, and whether it is.
class CheckableItemInterface final : public QAccessibleInterface,
                                     public QAccessibleActionInterface {
public:
    CheckableItemInterface(QMenu* menu, QAction* item) : menu_(menu), item_(item) {}

    bool isValid() const override { return !menu_.isNull() && !item_.isNull(); }
    QObject* object() const override { return item_; }
    QWindow* window() const override { return menu_ != nullptr ? menu_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(menu_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        if (t == QAccessible::Name) {
            return without_access_key(item_->text());
        }
        if (t == QAccessible::Accelerator) {
            return item_->shortcut().toString(QKeySequence::NativeText);
        }
        return t == QAccessible::Description ? item_->toolTip() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect place = menu_->actionGeometry(item_);
        return {menu_->mapToGlobal(place.topLeft()), place.size()};
    }
    QAccessible::Role role() const override {
        return item_ != nullptr && item_->actionGroup() != nullptr ? QAccessible::RadioButton
                                                                   : QAccessible::CheckBox;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.invisible = !menu_->isVisible() || !item_->isVisible();
        state.disabled = !item_->isEnabled();
        state.focusable = true;
        state.focused = menu_->activeAction() == item_;
        state.checkable = true;
        state.checked = item_->isChecked();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {toggleAction()}; }
    void doAction(const QString& name) override {
        if (isValid() && name == toggleAction() && item_->isEnabled()) {
            item_->trigger();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QMenu> menu_;
    QPointer<QAction> item_;
};

QAccessibleInterface* preview_interface(const QString& class_name, QObject* object) {
    if (class_name == QLatin1String("quillet::PreviewPane")) {
        if (auto* preview = qobject_cast<QTextBrowser*>(object)) {
            return new PreviewInterface(preview);
        }
    }
    if (class_name == QLatin1String("QAction")) {
        auto* item = static_cast<QAction*>(object);
        for (QObject* owner : item->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(owner); menu != nullptr && item->isCheckable()) {
                return new CheckableItemInterface(menu, item);
            }
        }
    }
    return nullptr;
}

}  // namespace

QString without_access_key(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            ++i;  // "&x" reads "x", "&&" reads "&"
        }
        plain += caption[i];
    }
    return plain;
}

void describe_controls(QWidget& window) {
    static const bool installed = [] {
        QAccessible::installFactory(&preview_interface);
        return true;
    }();
    Q_UNUSED(installed);
    name_inner_parts(window);
    const std::string_view window_class = window.metaObject()->className();
    for (const WindowTexts& texts : kWindows) {
        if (texts.window != window_class) {
            continue;
        }
        for (const ControlText& text : texts.controls) {
            auto* control = window.findChild<QWidget*>(QString::fromLatin1(text.control));
            if (control == nullptr) {
                continue;
            }
            const QString name =
                text.name != nullptr ? QString::fromUtf8(text.name) : own_name(*control);
            if (!name.isEmpty()) {
                control->setAccessibleName(name);
            }
            control->setAccessibleDescription(QString::fromUtf8(text.description));
        }
    }
}

}  // namespace quillet
