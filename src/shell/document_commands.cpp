#include "document_commands.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QUrl>
#include <set>

#include "browser_launcher.h"
#include "document_handoff.h"
#include "document_location.h"
#include "document_printer.h"
#include "filter_bar.h"
#include "frm_main.h"
#include "preview_pane.h"
#include "report_columns.h"
#include "report_drop.h"
#include "report_filter.h"
#include "report_grid_model.h"
#include "report_grid_view.h"
#include "shell_globals.h"
#include "sys_vars.h"
#include "twips.h"
#include "view_state.h"
#include "window_batch.h"

namespace quillet {

namespace {

constexpr int kMessageMs = 10000;

// Releases of the mouse over the grid's header: the user has dragged a column
// edge.
class HeaderWatch final : public QObject {
public:
    HeaderWatch(QObject* parent, std::function<void()> released)
        : QObject(parent), released_(std::move(released)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            released_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> released_;
};

}  // namespace

DocumentCommands::DocumentCommands(frmMain& window, cSys_vars& sys, BrowserLauncher& browser,
                                   ReportGridView& grid, ReportFilter& filter)
    : QObject(&window),
      window_(window),
      sys_(sys),
      grid_(grid),
      filter_(filter),
      own_print_dialogs_(std::make_unique<DesktopPrintDialogs>()),
      own_file_manager_(std::make_unique<DesktopFileManager>(browser)),
      print_dialogs_(own_print_dialogs_.get()),
      file_manager_(own_file_manager_.get()) {
    filter_bar_ = new FilterBar(filter_, *window.statusBar(), &window);
    connect(filter_bar_, &FilterBar::closed, &grid_, [this] { grid_.setFocus(); });

    splitter_ = new QSplitter(Qt::Horizontal, &window);
    splitter_->setObjectName(QStringLiteral("previewSplitter"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(&grid_);
    preview_ = new PreviewPane(browser, splitter_);
    splitter_->addWidget(preview_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 1);
    preview_->hide();

    // Several rows can be chosen for the PDF export and dragged out at once.
    grid_.setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_.setDragEnabled(true);
    grid_.setDragDropMode(QAbstractItemView::DragOnly);
    grid_.setDefaultDropAction(Qt::CopyAction);
    connect(grid_.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { preview_current(); });
    grid_.horizontalHeader()->viewport()->installEventFilter(
        new HeaderWatch(this, [this] { remember_widths(); }));

    drop_ = new ReportDrop(
        window, sys_, [this] { window_.convert_report_list(); },
        [this](const QString& text) { say(text); }, [this] { return !window_.batch().running(); });
}

DocumentCommands::~DocumentCommands() = default;

void DocumentCommands::add_menu_items(QMenu& file, QAction* before, QMenu& view, QMenu& popup) {
    auto make = [this](const char* name, const QString& caption) {
        auto* item = new QAction(caption, this);
        item->setObjectName(QString::fromLatin1(name));
        return item;
    };
    mnuFile_Print = make("mnuFile_Print", QStringLiteral("&Print..."));
    mnuFile_Print->setShortcut(QKeySequence::Print);
    mnuFile_ExportPdf = make("mnuFile_ExportPdf", QStringLiteral("Export as P&DF..."));
    file.insertAction(before, mnuFile_Print);
    file.insertAction(before, mnuFile_ExportPdf);

    view.addSeparator()->setObjectName(QStringLiteral("mnuView_Sep3"));
    mnuView_Find = make("mnuView_Find", QStringLiteral("&Find..."));
    mnuView_Find->setShortcut(QKeySequence::Find);
    mnuView_Preview = make("mnuView_Preview", QStringLiteral("&Preview"));
    mnuView_Preview->setCheckable(true);
    view.addAction(mnuView_Find);
    view.addAction(mnuView_Preview);

    mnuPopup_ShowInFolder = make("mnuPopup_ShowInFolder", QStringLiteral("Show in &Folder"));
    mnuPopup_CopyPath = make("mnuPopup_CopyPath", QStringLiteral("Copy &Path"));
    popup.addAction(mnuPopup_ShowInFolder);
    popup.addAction(mnuPopup_CopyPath);

    connect(mnuFile_Print, &QAction::triggered, this, [this] { print_current(); });
    connect(mnuFile_ExportPdf, &QAction::triggered, this, [this] { export_selected(); });
    connect(mnuView_Find, &QAction::triggered, filter_bar_, &FilterBar::open);
    connect(mnuView_Preview, &QAction::toggled, this, [this](bool on) { show_preview(on); });
    connect(mnuPopup_ShowInFolder, &QAction::triggered, this, [this] {
        // The opener tells the window when the folder could not be shown.
        if (const QString path = current_document(); !path.isEmpty()) {
            shown_in_folder_.insert(QFileInfo(path).absolutePath(), path);
            file_manager_->show_item(path);
        }
    });
    connect(mnuPopup_CopyPath, &QAction::triggered, this, [this] {
        if (const QString path = current_document(); !path.isEmpty()) {
            copy_path(path);
            const QString document = QDir(sys_.Path_HTMLReports()).relativeFilePath(path);
            say(QStringLiteral("Copied the path of %1").arg(QDir::toNativeSeparators(document)));
        }
    });
}

const ReportEntry* DocumentCommands::current_entry() const {
    return window_.entry_at(grid_.currentIndex());
}

QString DocumentCommands::current_document() const {
    const ReportEntry* entry = current_entry();
    // A batch row whose conversion failed has no document.
    if (entry == nullptr || (!entry->Rep_Converted && gblnShowConversionColumns)) {
        return {};
    }
    return document_path(sys_, *entry);
}

QString DocumentCommands::document_shown_in(const QUrl& url) const {
    return url.isLocalFile()
               ? shown_in_folder_.value(QFileInfo(url.toLocalFile()).absoluteFilePath())
               : QString();
}

void DocumentCommands::say(const QString& text) {
    window_.statusBar()->showMessage(text, kMessageMs);
}

void DocumentCommands::show_preview(bool on) {
    preview_->setVisible(on);
    if (on) {
        preview_current();
    } else {
        preview_->show_document({});
    }
}

void DocumentCommands::preview_current() {
    if (!preview_->isVisibleTo(&window_)) {
        return;
    }
    // A report that was not converted has no document: say so, and why.
    if (const ReportEntry* entry = current_entry();
        entry != nullptr && (entry->Rep_DestinationFilename.isEmpty() ||
                             (!entry->Rep_Converted && gblnShowConversionColumns))) {
        preview_->show_not_converted(entry->Rep_SourceFilename, entry->Rep_Comment);
        return;
    }
    const QString path = current_document();
    if (!preview_->shows(path)) {
        preview_->show_document(path);
    }
}

void DocumentCommands::print_current() {
    const QString path = current_document();
    if (path.isEmpty()) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(path).completeBaseName());
    if (!print_dialogs_->setup(printer, &window_)) {
        return;
    }
    if (const QString failure = print_document(path, printer); !failure.isEmpty()) {
        say(QStringLiteral("Could not print %1: %2").arg(path, failure));
    }
}

void DocumentCommands::export_selected() {
    std::set<int> rows;
    for (const QModelIndex& index : grid_.selectionModel()->selectedRows()) {
        rows.insert(index.row());
    }
    if (rows.empty() && grid_.currentIndex().isValid()) {
        rows.insert(grid_.currentIndex().row());
    }
    std::vector<std::pair<int, const ReportEntry*>> entries;
    for (const int row : rows) {
        const ReportEntry* entry = window_.entry_at(filter_.index(row, 0));
        if (entry != nullptr && (entry->Rep_Converted || !gblnShowConversionColumns)) {
            entries.emplace_back(row, entry);
        }
    }
    if (entries.empty()) {
        return;
    }
    const QString folder = print_dialogs_->pdf_folder(&window_);
    if (folder.isEmpty()) {
        return;
    }
    std::set<QString> used;
    QStringList failures;
    int written = 0;
    for (const auto& [row, entry] : entries) {
        const QString path = document_path(sys_, *entry);
        const QString student = report_cell_text(row + 1, *entry, ReportColumn::Field::student);
        QString name = pdf_file_name(student, QFileInfo(path).completeBaseName());
        for (int copy = 2; !used.insert(name.toLower()).second; ++copy) {
            name = pdf_file_name(
                student,
                QStringLiteral("%1 (%2)").arg(QFileInfo(path).completeBaseName()).arg(copy));
        }
        const QString failure = export_pdf(path, QDir(folder).filePath(name));
        if (failure.isEmpty()) {
            ++written;
        } else {
            failures << QStringLiteral("%1: %2").arg(name, failure);
        }
    }
    if (failures.isEmpty()) {
        say(QStringLiteral("%1 PDF file(s) written to %2").arg(written).arg(folder));
    } else {
        say(QStringLiteral("Could not write %1").arg(failures.join(QStringLiteral("; "))));
    }
}

int DocumentCommands::column_width(int c, int designed) const {
    const auto* model = qobject_cast<const ReportGridModel*>(filter_.sourceModel());
    if (model == nullptr || model->conversion_view() || c >= widths_.size()) {
        return designed;
    }
    return TwipsScale::of(window_.screen()).x(widths_[c]);
}

void DocumentCommands::remember_widths() {
    const auto* model = qobject_cast<const ReportGridModel*>(filter_.sourceModel());
    if (model == nullptr || model->conversion_view()) {
        return;
    }
    const TwipsScale scale = TwipsScale::of(window_.screen());
    widths_.clear();
    // As the user left them, not as a narrow grid squeezes them.
    const std::vector<int>& planned = window_.planned_column_widths();
    for (int c = 0; c + 1 < model->columnCount() && c < static_cast<int>(planned.size()); ++c) {
        widths_ << scale.twips_x(planned[static_cast<std::size_t>(c)]);
    }
}

void DocumentCommands::restore_view() {
    const ViewState state = read_view_state(sys_.store());
    widths_ = state.column_widths;
    if (state.splitter.size() == 2) {
        const TwipsScale scale = TwipsScale::of(window_.screen());
        splitter_->setSizes({scale.x(state.splitter[0]), scale.x(state.splitter[1])});
    }
    mnuView_Preview->setChecked(state.preview);
}

void DocumentCommands::save_view() {
    ViewState state;
    state.sort = gSortChoice;
    state.column_widths = widths_;
    state.preview = mnuView_Preview->isChecked();
    const QList<int> sizes = splitter_->sizes();
    if (state.preview && sizes.size() == 2 && sizes[0] > 0 && sizes[1] > 0) {
        const TwipsScale scale = TwipsScale::of(window_.screen());
        state.splitter = {scale.twips_x(sizes[0]), scale.twips_x(sizes[1])};
    } else {
        state.splitter = read_view_state(sys_.store()).splitter;
    }
    write_view_state(sys_.store(), state);
}

}  // namespace quillet
