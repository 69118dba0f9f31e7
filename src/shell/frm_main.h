// The main window: the convert and list commands, the sort choice, the report
// grid and opening a document in the browser.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QSize>
#include <optional>
#include <vector>

#include "placement.h"
#include "report_columns.h"
#include "twips.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QUrl;

namespace quillet {

class BrowserLauncher;
class DocumentCommands;
struct ReportColumn;
class ReportGridModel;
class ReportFilter;
class ReportGridView;
class TextSearch;
struct ReportEntry;
class UserPrompts;
class WindowBatch;
class cSys_vars;

class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    // Loads the window: builds its controls, restores its placement and lists
    // the report list of sys (InitScreen).
    frmMain(cSys_vars& sys, BrowserLauncher& browser, UserPrompts& prompts,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Empties the grid and writes the header row of the view that
    // gblnShowConversionColumns chooses.
    void pr_Set_Up_Grid();
    // Writes grid row n from report entry n and shows the prompt label.
    void pr_Fill_Grid_Row(int n);
    // pr_Fill_Grid_Row for the entries indexes (ascending), as one update of
    // the grid.
    void fill_grid_rows(const QList<int>& indexes);
    // Lays out the grid's columns over its width: the last one takes the free
    // width; where the width is short, the others give way (column_fit.h).
    void Form_Resize();
    // The widths (pixels) the columns have when there is room: designed,
    // remembered, or as the user dragged them.
    const std::vector<int>& planned_column_widths() const { return planned_widths_; }

    ReportGridView& grid() { return *gridResults; }
    ReportGridModel& grid_model() { return *model_; }
    // The rows of the grid model that match the filter box: the grid's model.
    ReportFilter& grid_filter() { return *filter_; }
    // Find, preview, print and hand on (document_commands.h).
    DocumentCommands& document_commands() { return *commands_; }
    // Searching the documents' text (text_search.h).
    TextSearch& text_search() { return *text_search_; }
    // The report entry that a row of the grid shows; nullptr for none.
    const ReportEntry* entry_at(const QModelIndex& index) const;

    // Converts the entries indexes of the report list (all when empty) off the
    // user-interface thread, in the conversion view, row by row in list
    // order; then lists the report list. False while a batch runs.
    bool convert_report_list(std::vector<int> indexes = {});
    // The batch: running(), cancel(), and its entriesDone and finished signals.
    WindowBatch& batch() { return *batch_; }

    // Tells the user, until dismissed, that url could not be shown, and why.
    void show_not_shown(const QUrl& url, const QString& why);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void build_menus();
    void connect_commands();
    void InitScreen();

    void pr_Convert_Reports(int kind);
    void pr_Show_Report_List();
    void pr_Open_Selected_Report();
    void show_html_reports();
    void choose_sort(QAction* item);
    // A click on a column header: sorts by that column, ascending, and
    // descending when it is clicked again.
    void sort_by_column(int column);
    // The column field the list is sorted by; none before any sort.
    std::optional<ReportColumn::Field> sorted_field() const;
    void show_sort_indicator();
    // The widest text of each column, over the rows not measured yet.
    void measure_new_rows();
    int cell_padding() const;  // around a header's text
    int text_margins() const;  // around a cell's text
    void select_first_row(bool give_focus);
    // The list view of the whole report list, filled in one go.
    void list_reports(bool give_focus);
    void repaint_now();
    int least_width(const ReportColumn& column) const;

    TwipsScale scale() const;
    Placement current_placement() const;
    QRectF screen_twips() const;

    cSys_vars& sys_;
    BrowserLauncher& browser_;
    UserPrompts& prompts_;

    ReportGridModel* model_ = nullptr;
    ReportGridView* gridResults = nullptr;
    ReportFilter* filter_ = nullptr;
    DocumentCommands* commands_ = nullptr;
    TextSearch* text_search_ = nullptr;
    QLabel* lblPromptUser = nullptr;
    QPushButton* cmdConvertOrvella = nullptr;
    QPushButton* cmdConvertFennick = nullptr;
    QPushButton* cmdShowReports = nullptr;
    QPushButton* cmdOptions = nullptr;
    WindowBatch* batch_ = nullptr;

    QAction* mnuFile_Open = nullptr;
    QAction* mnuFile_Exit = nullptr;
    QAction* mnuRep_Show = nullptr;
    QAction* mnuRep_Orvella = nullptr;
    QAction* mnuRep_Fennick = nullptr;
    QAction* mnuView_Student = nullptr;
    QAction* mnuView_ReportName = nullptr;
    QAction* mnuView_ReportDate = nullptr;
    QAction* mnuView_Comment = nullptr;
    QAction* mnuView_Asc = nullptr;
    QAction* mnuView_Desc = nullptr;
    QAction* mnuView_Options = nullptr;
    QAction* mnuHelp_About = nullptr;
    QMenu* mnuPopup = nullptr;
    QAction* mnuPopup_Open = nullptr;

    // The widths the columns get when there is room (pixels): designed,
    // remembered or dragged by the user.
    std::vector<int> planned_widths_;
    std::vector<int> text_widths_;   // the widest text of each column
    std::vector<int> text_lengths_;  // the most characters of each column
    int measured_rows_ = 0;
    bool laying_out_ = false;  // the window, not the user, sets column widths
    // The sort by "No.", which has no sort key, while it holds.
    std::optional<ReportColumn::Field> column_sort_;

    QSize designed_size_;  // the window's size as designed, also its least size
    QElapsedTimer last_repaint_;
};

}  // namespace quillet
