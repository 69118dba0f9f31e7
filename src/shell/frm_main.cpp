#include "frm_main.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "access_keys.h"
#include "accessibility.h"
#include "app_icon.h"
#include "app_info.h"
#include "auto_convert.h"
#include "browser_launcher.h"
#include "busy_cursor.h"
#include "check_mark_group.h"
#include "column_fit.h"
#include "column_sort.h"
#include "document_commands.h"
#include "document_location.h"
#include "filter_bar.h"
#include "frm_about.h"
#include "frm_options.h"
#include "report_catalogue.h"
#include "report_conversion.h"
#include "report_filter.h"
#include "report_grid_model.h"
#include "report_grid_view.h"
#include "shell_globals.h"
#include "sys_vars.h"
#include "text_search.h"
#include "user_prompts.h"
#include "window_batch.h"

namespace quillet {

namespace {

// The window's client area as designed, in twips.
constexpr double kDesignedWidth = 10215;
constexpr double kDesignedHeight = 4710;
constexpr double kButtonWidth = 2415;
constexpr double kButtonHeight = 375;
constexpr double kMargin = 120;
constexpr double kButtonGap = 105;
constexpr double kLabelHeight = 255;
// The Comment column never gets narrower than this.
constexpr double kLeastCommentWidth = 3000;
// During a batch the window is repainted at most this often.
constexpr int kRepaintIntervalMs = 50;

}  // namespace

frmMain::frmMain(cSys_vars& sys, BrowserLauncher& browser, UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent), sys_(sys), browser_(browser), prompts_(prompts) {
    setObjectName(QStringLiteral("frmMain"));
    build_controls();
    build_menus();
    connect_commands();
    setWindowTitle(kApplicationTitle);
    setWindowIcon(application_icon());
    InitScreen();
    browser_.set_failure_handler(
        [window = QPointer<frmMain>(this)](const QUrl& url, const QString& why) {
            if (window) {
                window->show_not_shown(url, why);
            }
        });
    // The list is what the window is for: arrow keys and Enter work at once.
    gridResults->setFocus();
    describe_controls(*this);
}

frmMain::~frmMain() = default;

TwipsScale frmMain::scale() const {
    return TwipsScale::of(screen());
}

void frmMain::build_controls() {
    const TwipsScale s = scale();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("clientArea"));
    central->setMinimumSize(s.x(kDesignedWidth), s.y(kDesignedHeight));

    auto make_button = [&](const char* name, const QString& caption) {
        auto* button = new QPushButton(caption, central);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumSize(s.x(kButtonWidth), s.y(kButtonHeight));
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        button->setAutoDefault(false);
        return button;
    };
    cmdConvertOrvella =
        make_button("cmdConvertOrvella", QStringLiteral("Convert &Orvella Reports"));
    cmdConvertFennick =
        make_button("cmdConvertFennick", QStringLiteral("Convert F&ennick Reports"));
    cmdShowReports = make_button("cmdShowReports", QStringLiteral("&Show HTML Reports"));
    cmdOptions = make_button("cmdOptions", QStringLiteral("O&ptions"));

    lblPromptUser = new QLabel(
        QStringLiteral("Double-click the report below, to view in your browser."), central);
    lblPromptUser->setObjectName(QStringLiteral("lblPromptUser"));
    lblPromptUser->setAlignment(Qt::AlignCenter);
    QFont bold = lblPromptUser->font();
    bold.setBold(true);
    lblPromptUser->setFont(bold);
    lblPromptUser->setMinimumHeight(s.y(kLabelHeight));
    QSizePolicy keep_place = lblPromptUser->sizePolicy();
    keep_place.setRetainSizeWhenHidden(true);
    lblPromptUser->setSizePolicy(keep_place);
    lblPromptUser->hide();

    model_ = new ReportGridModel(this);
    gridResults = new ReportGridView(central);
    gridResults->setObjectName(QStringLiteral("gridResults"));
    // The grid shows the rows that match the filter box.
    filter_ = new ReportFilter(
        *model_, [this](const ReportEntry& entry) { return document_path(sys_, entry); }, this);
    gridResults->setModel(filter_);
    gridResults->viewport()->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(s.x(kMargin), s.y(kMargin), s.x(kMargin), 0);
    buttons->setSpacing(s.x(kButtonGap));
    for (QPushButton* button : {cmdConvertOrvella, cmdConvertFennick, cmdShowReports, cmdOptions}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);

    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addLayout(buttons);
    column->addSpacing(s.y(kButtonGap));
    column->addWidget(lblPromptUser);
    commands_ = new DocumentCommands(*this, sys_, browser_, *gridResults, *filter_);
    column->addWidget(&commands_->filter_bar());
    column->addWidget(&commands_->splitter(), 1);
    setCentralWidget(central);

    setTabOrder(gridResults, cmdConvertOrvella);
    setTabOrder(cmdConvertOrvella, cmdConvertFennick);
    setTabOrder(cmdConvertFennick, cmdShowReports);
    setTabOrder(cmdShowReports, cmdOptions);

    statusBar();
}

void frmMain::build_menus() {
    auto add_menu = [this](const char* name, const QString& caption) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto add_item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        return item;
    };
    auto add_separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QString::fromLatin1(name));
    };

    QMenu* mnuFile = add_menu("mnuFile", QStringLiteral("&File"));
    mnuFile_Open = add_item(mnuFile, "mnuFile_Open", QStringLiteral("&Open"));
    add_separator(mnuFile, "mnuFile_Sep1");
    mnuFile_Exit = add_item(mnuFile, "mnuFile_Exit", QStringLiteral("E&xit"));

    QMenu* mnuRep = add_menu("mnuRep", QStringLiteral("&Reports"));
    mnuRep_Show = add_item(mnuRep, "mnuRep_Show", QStringLiteral("&Show HTML Reports"));
    add_separator(mnuRep, "mnuRep_Sep1");
    mnuRep_Orvella =
        add_item(mnuRep, "mnuRep_Orvella", QStringLiteral("Convert &Orvella Reports to HTML"));
    mnuRep_Fennick =
        add_item(mnuRep, "mnuRep_Fennick", QStringLiteral("Convert &Fennick Reports to HTML"));
    new AutoConvert(*this, sys_, *mnuRep);  // "Convert Automatically", at the menu's end

    QMenu* mnuView = add_menu("mnuView", QStringLiteral("&View"));
    mnuView_Student = add_item(mnuView, "mnuView_Student", QStringLiteral("By &Student Number"));
    mnuView_ReportName = add_item(mnuView, "mnuView_ReportName", QStringLiteral("By Report &Name"));
    mnuView_ReportDate = add_item(mnuView, "mnuView_ReportDate", QStringLiteral("By Report &Date"));
    mnuView_Comment = add_item(mnuView, "mnuView_Comment", QStringLiteral("By &Comment"));
    add_separator(mnuView, "mnuView_Sep1");
    mnuView_Asc = add_item(mnuView, "mnuView_Asc", QStringLiteral("&Ascending"));
    mnuView_Desc = add_item(mnuView, "mnuView_Desc", QStringLiteral("D&escending"));
    add_separator(mnuView, "mnuView_Sep2");
    mnuView_Options = add_item(mnuView, "mnuView_Options", QStringLiteral("&Options"));

    give_standard_shortcut(*mnuFile_Open, QKeySequence::Open, Qt::CTRL | Qt::Key_O);
    give_standard_shortcut(*mnuFile_Exit, QKeySequence::Quit, Qt::CTRL | Qt::Key_Q);
    give_standard_shortcut(*mnuRep_Show, QKeySequence::Refresh, Qt::Key_F5);
    give_standard_shortcut(*mnuView_Options, QKeySequence::Preferences, Qt::CTRL | Qt::Key_Comma);

    auto* keys = make_check_mark_group(this);
    keys->setObjectName(QStringLiteral("sortKeyGroup"));
    auto* directions = make_check_mark_group(this);
    directions->setObjectName(QStringLiteral("sortDirectionGroup"));
    for (QAction* item :
         {mnuView_Student, mnuView_ReportName, mnuView_ReportDate, mnuView_Comment}) {
        item->setCheckable(true);
        keys->addAction(item);
    }
    for (QAction* item : {mnuView_Asc, mnuView_Desc}) {
        item->setCheckable(true);
        directions->addAction(item);
    }
    // The sort choice of start-up: by student number, ascending, unless the
    // last run left another.
    QAction* const sort_keys[] = {mnuView_Student, mnuView_ReportName, mnuView_ReportDate,
                                  mnuView_Comment};
    const int key = gSortChoice.gintSortKey;
    (key >= 0 && key <= 3 ? sort_keys[key] : mnuView_Student)->setChecked(true);
    (gSortChoice.gblnSortAscending ? mnuView_Asc : mnuView_Desc)->setChecked(true);

    QMenu* mnuHelp = add_menu("mnuHelp", QStringLiteral("&Help"));
    mnuHelp_About = add_item(mnuHelp, "mnuHelp_About", QStringLiteral("&About"));

    // Not in the menu bar: the grid's context menu.
    mnuPopup = new QMenu(QStringLiteral("Popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopup_Open = add_item(mnuPopup, "mnuPopup_Open", QStringLiteral("Open"));

    commands_->add_menu_items(*mnuFile, mnuFile->actions().at(1), *mnuView, *mnuPopup);
    text_search_ = new TextSearch(*this, sys_, *mnuView, [this] { pr_Show_Report_List(); });
}

void frmMain::connect_commands() {
    connect(cmdConvertOrvella, &QPushButton::clicked, mnuRep_Orvella, &QAction::trigger);
    connect(cmdConvertFennick, &QPushButton::clicked, mnuRep_Fennick, &QAction::trigger);
    connect(cmdShowReports, &QPushButton::clicked, mnuRep_Show, &QAction::trigger);
    connect(cmdOptions, &QPushButton::clicked, mnuView_Options, &QAction::trigger);

    connect(mnuFile_Open, &QAction::triggered, this, [this] { pr_Open_Selected_Report(); });
    connect(mnuPopup_Open, &QAction::triggered, mnuFile_Open, &QAction::trigger);
    connect(mnuFile_Exit, &QAction::triggered, this, &QWidget::close);

    connect(mnuRep_Show, &QAction::triggered, this, [this] { show_html_reports(); });
    connect(mnuRep_Orvella, &QAction::triggered, this, [this] { pr_Convert_Reports(2); });
    connect(mnuRep_Fennick, &QAction::triggered, this, [this] {
        if (sys_.Gen_FennickChoice() == 1) {
            sys_.pr_Set_FennickPath_to_DorrantDB();
        }
        pr_Convert_Reports(1);
    });

    for (QAction* item : {mnuView_Student, mnuView_ReportName, mnuView_ReportDate, mnuView_Comment,
                          mnuView_Asc, mnuView_Desc}) {
        connect(item, &QAction::triggered, this, [this, item] { choose_sort(item); });
    }
    connect(mnuView_Options, &QAction::triggered, this, [this] {
        frmOptions dialog(sys_, this);
        dialog.exec();
    });
    connect(mnuHelp_About, &QAction::triggered, this, [this] {
        frmAbout dialog(browser_, this);
        dialog.exec();
    });

    connect(gridResults, &QAbstractItemView::doubleClicked, this,
            [this] { pr_Open_Selected_Report(); });
    connect(gridResults, &ReportGridView::enterPressed, this,
            [this] { pr_Open_Selected_Report(); });
    connect(gridResults, &ReportGridView::rightButtonReleased, this,
            [this](const QPoint& where) { mnuPopup->popup(where); });
    QHeaderView* header = gridResults->horizontalHeader();
    connect(header, &QHeaderView::sectionClicked, this, [this](int c) { sort_by_column(c); });
    connect(header, &QHeaderView::sectionResized, this, [this](int c, int, int width) {
        // A column edge dragged by the user: that width holds from now on.
        if (!laying_out_ && c + 1 < static_cast<int>(planned_widths_.size())) {
            planned_widths_[static_cast<std::size_t>(c)] = width;
        }
    });

    // While a batch runs, nothing may change the report list.
    batch_ = new WindowBatch(
        sys_, prompts_, *this,
        QList<QObject*>{mnuRep_Show, mnuRep_Orvella, mnuRep_Fennick, mnuView_Student,
                        mnuView_ReportName, mnuView_ReportDate, mnuView_Comment, mnuView_Asc,
                        mnuView_Desc, mnuView_Options, cmdConvertOrvella, cmdConvertFennick,
                        cmdShowReports, cmdOptions} +
            text_search_->commands());
    connect(batch_, &WindowBatch::entriesDone, this, &frmMain::fill_grid_rows);
    connect(batch_, &WindowBatch::finished, this, [this] { pr_Show_Report_List(); });
}

QRectF frmMain::screen_twips() const {
    const TwipsScale s = scale();
    const QRect area = screen() != nullptr ? screen()->geometry() : QRect(0, 0, 1024, 768);
    return {s.twips_x(area.x()), s.twips_y(area.y()), s.twips_x(area.width()),
            s.twips_y(area.height())};
}

Placement frmMain::current_placement() const {
    const TwipsScale s = scale();
    Placement placement;
    placement.top = s.twips_y(pos().y());
    placement.left = s.twips_x(pos().x());
    placement.height = s.twips_y(height());
    placement.width = s.twips_x(width());
    if (isMinimized()) {
        placement.state = WindowShow::minimized;
    } else if (isMaximized()) {
        placement.state = WindowShow::maximized;
    }
    return placement;
}

void frmMain::InitScreen() {
    mnuHelp_About->setText(mnuHelp_About->text() + QStringLiteral(" - ") + kApplicationTitle +
                           QLatin1Char(' ') + gstrVersion);

    // The designed size is also the least size; the window opens centred.
    designed_size_ = minimumSizeHint();
    setMinimumSize(designed_size_);
    resize(designed_size_);
    const TwipsScale s = scale();
    const QRectF screen_area = screen_twips();
    Placement designed;
    designed.width = s.twips_x(designed_size_.width());
    designed.height = s.twips_y(designed_size_.height());
    designed.left = screen_area.left() + (screen_area.width() - designed.width) / 2;
    designed.top = screen_area.top() + (screen_area.height() - designed.height) / 2;

    const Placement stored = read_placement(sys_.store(), designed);
    const FittedPlacement fitted =
        fit_placement(stored, {designed.width, designed.height}, screen_area);
    resize(s.x(fitted.placement.width), s.y(fitted.placement.height));
    move(s.x(fitted.placement.left), s.y(fitted.placement.top));
    if (fitted.maximize) {
        setWindowState(Qt::WindowMaximized);
    }

    commands_->restore_view();
    list_reports(false);
}

void frmMain::pr_Set_Up_Grid() {
    model_->set_up(gblnShowConversionColumns);
    const TwipsScale s = scale();
    const QScopedValueRollback laying_out(laying_out_, true);
    const auto columns = static_cast<std::size_t>(model_->columnCount());
    gridResults->set_empty_text({});  // until the list is known
    planned_widths_.clear();
    text_widths_.assign(columns, 0);
    text_lengths_.assign(columns, 0);
    measured_rows_ = 0;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const ReportColumn& column = model_->column(c);
        const int least = least_width(column);
        int width = commands_->column_width(c, std::max(s.x(column.width_twips), least));
        if (column.field == ReportColumn::Field::number) {
            width = std::max(width, least);  // never "1…"
        }
        planned_widths_.push_back(width);
        gridResults->setColumnWidth(c, width);
    }
    gridResults->setCurrentIndex({});
    show_sort_indicator();
    Form_Resize();
}

int frmMain::cell_padding() const {
    return 2 * gridResults->style()->pixelMetric(QStyle::PM_HeaderMargin) + 4;
}

int frmMain::text_margins() const {
    // As the grid's cells draw their text, inside the grid line.
    return 2 * (gridResults->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                  gridResults) +
                1) +
           (gridResults->showGrid() ? 1 : 0);
}

int frmMain::least_width(const ReportColumn& column) const {
    // The designed widths suit a small font: a column is never narrower than
    // its header, nor the date column than a date.
    const QFontMetrics header(gridResults->horizontalHeader()->font());
    const QFontMetrics cells(gridResults->font());
    const int padding = cell_padding();
    int width = header.horizontalAdvance(QString::fromLatin1(column.header)) + padding;
    if (column.field == ReportColumn::Field::number) {
        // The widest number of the list.
        const QString widest(QString::number(std::max(sys_.Rep_FileCount(), 1)).size(), u'8');
        width = std::max(width, cells.horizontalAdvance(widest) + padding);
    }
    if (column.field == ReportColumn::Field::date) {
        const QDateTime widest(QDate(2000, 12, 28), QTime(23, 59, 59));
        width = std::max(width, cells.horizontalAdvance(format_document_date(widest)) + padding);
    }
    return width;
}

void frmMain::pr_Fill_Grid_Row(int n) {
    lblPromptUser->show();
    model_->fill_row(n, sys_.entry(n));
    // The row is painted when the event loop next turns.
    if (!last_repaint_.isValid() || last_repaint_.elapsed() >= kRepaintIntervalMs) {
        gridResults->scrollTo(filter_->mapFromSource(model_->index(n - 1, 0)));
        last_repaint_.restart();
    }
}

void frmMain::fill_grid_rows(const QList<int>& indexes) {
    if (indexes.isEmpty()) {
        return;
    }
    lblPromptUser->show();
    model_->fill_rows(sys_, indexes);
    if (!last_repaint_.isValid() || last_repaint_.elapsed() >= kRepaintIntervalMs) {
        gridResults->scrollTo(filter_->mapFromSource(model_->index(indexes.back() - 1, 0)));
        last_repaint_.restart();
    }
}

void frmMain::repaint_now() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void frmMain::Form_Resize() {
    if (isMinimized()) {
        return;
    }
    const int columns = model_->columnCount();
    if (columns == 0 || static_cast<int>(planned_widths_.size()) != columns) {
        return;
    }
    measure_new_rows();
    // Where the width is short, the source name and the date are elided
    // first, so that the outcome stays readable.
    const int elided =
        gridResults->fontMetrics().horizontalAdvance(QStringLiteral("Mm\u2026")) + text_margins();
    std::vector<ColumnFit> fits;
    for (int c = 0; c < columns; ++c) {
        const auto i = static_cast<std::size_t>(c);
        const ReportColumn::Field field = model_->column(c).field;
        ColumnFit fit;
        fit.text = text_widths_[i];
        // The comment asks for room for its widest text before the others.
        fit.preferred = c == columns - 1 ? std::max(scale().x(kLeastCommentWidth), fit.text)
                                         : planned_widths_[i];
        fit.least = field == ReportColumn::Field::number ? planned_widths_[i]
                                                         : std::min(elided, fit.preferred);
        fit.yield = field == ReportColumn::Field::source || field == ReportColumn::Field::date
                        ? ColumnFit::Yield::elide_first
                        : ColumnFit::Yield::to_text;
        fits.push_back(fit);
    }
    const std::vector<int> widths = fit_columns(fits, gridResults->viewport()->width());
    const QScopedValueRollback laying_out(laying_out_, true);
    for (int c = 0; c < columns; ++c) {
        gridResults->setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    }
}

void frmMain::measure_new_rows() {
    const int rows = model_->rowCount();
    if (measured_rows_ >= rows) {
        measured_rows_ = std::min(measured_rows_, rows);
        return;
    }
    const QFontMetrics cells(gridResults->font());
    const int padding = text_margins();
    for (int c = 0; c < model_->columnCount(); ++c) {
        const auto i = static_cast<std::size_t>(c);
        for (int r = measured_rows_; r < rows; ++r) {
            const QString text = model_->index(r, c).data().toString();
            // Only texts near the longest can be the widest.
            if (text.size() * 4 < text_lengths_[i] * 3) {
                continue;
            }
            text_lengths_[i] = std::max(text_lengths_[i], static_cast<int>(text.size()));
            text_widths_[i] = std::max(text_widths_[i], cells.horizontalAdvance(text) + padding);
        }
    }
    measured_rows_ = rows;
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == gridResults->viewport() && event->type() == QEvent::Resize) {
        Form_Resize();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!batch_->allow_close()) {
        // Asked whether to stop the batch; the window closes once it is over.
        event->ignore();
        return;
    }
    write_placement(sys_.store(), current_placement());
    commands_->save_view();
    sys_.pr_Save_Sys_Settings();
    event->accept();
}

void frmMain::select_first_row(bool give_focus) {
    if (filter_->rowCount() > 0 && sys_.Rep_FileCount() > 0) {
        gridResults->selectionModel()->setCurrentIndex(
            filter_->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (give_focus) {
            gridResults->setFocus();
        }
    } else {
        gridResults->selectionModel()->clear();
    }
}

void frmMain::pr_Show_Report_List() {
    list_reports(true);
}

void frmMain::list_reports(bool give_focus) {
    gblnShowConversionColumns = false;
    pr_Set_Up_Grid();
    const int count = sys_.Rep_FileCount();
    model_->fill_rows(sys_, count);
    if (count > 0) {
        lblPromptUser->show();
    }
    gridResults->set_empty_text(
        QStringLiteral("No HTML reports yet in %1. Convert your Orvella or Fennick reports to "
                       "list them here.")
            .arg(QDir::toNativeSeparators(sys_.Path_HTMLReports())));
    Form_Resize();
    select_first_row(give_focus);
}

void frmMain::show_html_reports() {
    if (batch_->running()) {
        return;
    }
    BusyCursor busy;
    gblnShowConversionColumns = false;
    pr_Set_Up_Grid();
    repaint_now();
    // The repaint runs timers: a button's delayed click may have started a
    // batch meanwhile, and the report list is then the batch's.
    if (batch_->running()) {
        return;
    }
    pr_Get_List_Of_Converted_Files(sys_, gSortChoice);
    pr_Show_Report_List();
}

void frmMain::pr_Convert_Reports(int kind) {
    if (batch_->running()) {
        return;
    }
    {
        BusyCursor busy;
        if (!sys_.pr_Generate_File_List(static_cast<std::int16_t>(kind))) {
            const QString folder = kind == 1 ? sys_.Path_Fennick() : sys_.Path_Orvella();
            prompts_.information(this, kApplicationTitle,
                                 kNoReportsFound + u'\n' + QDir::toNativeSeparators(folder));
            return;
        }
    }
    convert_report_list();
}

bool frmMain::convert_report_list(std::vector<int> indexes) {
    if (batch_->running()) {
        return false;
    }
    gblnShowConversionColumns = true;
    pr_Set_Up_Grid();
    last_repaint_.invalidate();
    // Rows come in as entries finish; the list view follows (connect_commands).
    batch_->start(std::move(indexes));
    return true;
}

void frmMain::choose_sort(QAction* item) {
    const bool was_ascending = gSortChoice.gblnSortAscending;
    if (item == mnuView_Asc || item == mnuView_Desc) {
        gSortChoice.gblnSortAscending = item == mnuView_Asc;
    } else {
        const QAction* keys[] = {mnuView_Student, mnuView_ReportName, mnuView_ReportDate,
                                 mnuView_Comment};
        gSortChoice.gintSortKey =
            static_cast<std::int16_t>(std::find(std::begin(keys), std::end(keys), item) - keys);
        column_sort_.reset();
    }
    item->setChecked(true);
    BusyCursor busy;
    if (column_sort_) {
        if (was_ascending != gSortChoice.gblnSortAscending) {
            reverse_report_list(sys_);  // "No." the other way round
        }
    } else {
        pr_Sort_Report_List(sys_, gSortChoice);
    }
    pr_Show_Report_List();
}

std::optional<ReportColumn::Field> frmMain::sorted_field() const {
    if (column_sort_) {
        return column_sort_;
    }
    constexpr ReportColumn::Field kKeyFields[] = {
        ReportColumn::Field::student, ReportColumn::Field::report, ReportColumn::Field::date,
        ReportColumn::Field::comment};
    const int key = gSortChoice.gintSortKey;
    return key >= 0 && key <= 3 ? std::optional(kKeyFields[key]) : std::nullopt;
}

void frmMain::sort_by_column(int column) {
    // While a batch runs (the conversion view) the list keeps its order.
    if (batch_->running() || column < 0 || column >= model_->columnCount() ||
        model_->conversion_view()) {
        show_sort_indicator();
        return;
    }
    const ReportColumn::Field field = model_->column(column).field;
    const bool same = sorted_field() == field;
    const bool ascending = !same || !gSortChoice.gblnSortAscending;
    QAction* const key_items[] = {mnuView_Student, mnuView_ReportName, mnuView_ReportDate,
                                  mnuView_Comment};
    gSortChoice.gblnSortAscending = ascending;
    mnuView_Asc->setChecked(ascending);
    mnuView_Desc->setChecked(!ascending);
    if (const int key = sort_key_of(field); key >= 0) {
        key_items[key]->trigger();  // as the View menu's item
        return;
    }
    // "No.", without a sort key: none of the four items is checked. The
    // list's order is the numbers' order; a second click turns it round.
    for (QAction* item : key_items) {
        item->setChecked(false);
    }
    if (same) {
        reverse_report_list(sys_);
    }
    column_sort_ = field;
    pr_Show_Report_List();
}

void frmMain::show_sort_indicator() {
    QHeaderView* header = gridResults->horizontalHeader();
    const std::optional<ReportColumn::Field> field = sorted_field();
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (field == model_->column(c).field) {
            header->setSortIndicatorShown(true);
            header->setSortIndicator(
                c, gSortChoice.gblnSortAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
            return;
        }
    }
    header->setSortIndicatorShown(false);
}

const ReportEntry* frmMain::entry_at(const QModelIndex& index) const {
    if (!index.isValid()) {
        return nullptr;  // the header row: also the state of an empty list
    }
    // Grid row i shows report entry i; a filtered row is the row it shows. A
    // row left over from a list that has since been emptied still shows the
    // entry it was written with.
    const int i = filter_->mapToSource(index).row() + 1;
    if (model_->search_view()) {
        return model_->entry_of_row(i);  // a document that a text search found
    }
    return i <= sys_.Rep_FileCount() ? &sys_.entry(i) : model_->entry_of_row(i);
}

void frmMain::pr_Open_Selected_Report() {
    const ReportEntry* entry = entry_at(gridResults->currentIndex());
    if (entry == nullptr || (!entry->Rep_Converted && gblnShowConversionColumns)) {
        return;
    }
    // A failure is told to show_not_shown(), also when it comes later.
    browser_.open(QUrl::fromLocalFile(document_path(sys_, *entry)));
}

void frmMain::show_not_shown(const QUrl& url, const QString& why) {
    prompts_.warning(this, kApplicationTitle,
                     not_shown_message(url, why, commands_->document_shown_in(url)));
}

}  // namespace quillet
