// The commands that find, show, print and hand on the documents of the report
// grid, added to the main window: the filter box (View > Find), the preview
// (View > Preview), File > Print and Export as PDF, the popup menu's Show in
// Folder and Copy Path, dragging rows out, dropping reports in, and the view
// the window keeps from one run to the next.
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <memory>

class QAction;
class QMenu;
class QSplitter;
class QUrl;

namespace quillet {

class BrowserLauncher;
class FileManager;
class FilterBar;
class PreviewPane;
class PrintDialogs;
class ReportDrop;
class ReportFilter;
class ReportGridView;
class cSys_vars;
class frmMain;
struct ReportEntry;

class DocumentCommands final : public QObject {
    Q_OBJECT
public:
    DocumentCommands(frmMain& window, cSys_vars& sys, BrowserLauncher& browser,
                     ReportGridView& grid, ReportFilter& filter);
    ~DocumentCommands() override;

    // Placed by the window: the filter box above the grid, and the splitter
    // that holds the grid and the preview.
    FilterBar& filter_bar() { return *filter_bar_; }
    QSplitter& splitter() { return *splitter_; }
    PreviewPane& preview() { return *preview_; }

    // Adds the items to the File menu (before before), the View menu and the
    // grid's popup menu.
    void add_menu_items(QMenu& file, QAction* before, QMenu& view, QMenu& popup);

    // The remembered view: the preview and its splitter now, the column widths
    // whenever the list view is set up.
    void restore_view();
    void save_view();
    // The width of column c of the view being set up: the remembered one in
    // the list view, else designed (pixels).
    int column_width(int c, int designed) const;

    // The document Show in Folder last showed in the folder url; empty for
    // none.
    QString document_shown_in(const QUrl& url) const;

    // Stand-ins for the desktop's dialogs and file manager (tests).
    void use_print_dialogs(PrintDialogs& dialogs) { print_dialogs_ = &dialogs; }
    void use_file_manager(FileManager& manager) { file_manager_ = &manager; }

private:
    const ReportEntry* current_entry() const;
    QString current_document() const;
    void show_preview(bool on);
    void preview_current();
    void print_current();
    void export_selected();
    void remember_widths();
    void say(const QString& text);

    frmMain& window_;
    cSys_vars& sys_;
    ReportGridView& grid_;
    ReportFilter& filter_;
    FilterBar* filter_bar_ = nullptr;
    QSplitter* splitter_ = nullptr;
    PreviewPane* preview_ = nullptr;
    ReportDrop* drop_ = nullptr;

    QAction* mnuView_Find = nullptr;
    QAction* mnuView_Preview = nullptr;
    QAction* mnuFile_Print = nullptr;
    QAction* mnuFile_ExportPdf = nullptr;
    QAction* mnuPopup_ShowInFolder = nullptr;
    QAction* mnuPopup_CopyPath = nullptr;

    std::unique_ptr<PrintDialogs> own_print_dialogs_;
    std::unique_ptr<FileManager> own_file_manager_;
    PrintDialogs* print_dialogs_ = nullptr;
    FileManager* file_manager_ = nullptr;

    QHash<QString, QString> shown_in_folder_;  // folder -> document
    QList<double> widths_;                     // twips, list view, all columns but the last
};

}  // namespace quillet
