#include "text_search.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>
#include <climits>
#include <optional>
#include <utility>

#include "document_commands.h"
#include "document_location.h"
#include "filter_bar.h"
#include "frm_main.h"
#include "match_text.h"
#include "preview_pane.h"
#include "report_filter.h"
#include "report_grid_model.h"
#include "report_grid_view.h"
#include "sys_vars.h"
#include "twips.h"
#include "window_batch.h"

namespace quillet {

namespace {

// A refresh that is not a first build shows its progress once it has taken
// this long.
constexpr qint64 kQuietRefreshMs = 400;
// The columns the list view and the search view share: No., Student Number,
// Report name, Date. The Match column follows them.
constexpr int kSharedColumns = 4;

// The grid row of a document that a search found. The entry names the
// document as the catalogue would, so that every command reaches it.
std::optional<ReportGridModel::Match> match_of(const QString& root, const SearchHit& hit) {
    const QString relative = QDir(root).relativeFilePath(hit.path);
    if (relative.startsWith(QLatin1String("../")) || QDir::isAbsolutePath(relative)) {
        return std::nullopt;  // not one of this folder's documents
    }
    ReportGridModel::Match match;
    ReportEntry& entry = match.entry;
    const qsizetype slash = relative.lastIndexOf(u'/');
    entry.Rep_DestinationPath = slash < 0 ? QString() : relative.left(slash);
    entry.destination_listed_name = relative.mid(slash + 1);
    entry.Rep_DestinationFilename = hit.report;
    entry.Rep_DestinationFileDate = hit.date;
    entry.Rep_Converted = true;
    // The Fennick documents are named after their student.
    entry.Rep_ReportType =
        entry.Rep_DestinationPath.compare(QLatin1String("fennick"), Qt::CaseInsensitive) == 0 ? 1
                                                                                              : 0;
    match.passage = hit.snippet;
    return match;
}

QString count_text(std::size_t count) {
    if (count == 0) {
        return QStringLiteral("No document matches");
    }
    if (count >= static_cast<std::size_t>(TextSearch::kMostDocuments)) {
        return QStringLiteral("The %1 best matching documents").arg(count);
    }
    return count == 1 ? QStringLiteral("1 document matches")
                      : QStringLiteral("%1 documents match").arg(count);
}

}  // namespace

TextSearch::TextSearch(frmMain& window, cSys_vars& sys, QMenu& view,
                       std::function<void()> show_report_list)
    : QObject(&window),
      window_(window),
      sys_(sys),
      show_report_list_(std::move(show_report_list)),
      bar_(window.document_commands().filter_bar()) {
    index_ = new IndexSearch(this);
    delegate_ = new MatchDelegate(this);

    mnuView_SearchText = new QAction(QStringLiteral("Search &Text..."), this);
    mnuView_SearchText->setObjectName(QStringLiteral("mnuView_SearchText"));
    mnuView_SearchText->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    QAction* after_find = nullptr;
    const QList<QAction*> items = view.actions();
    for (qsizetype i = 0; i + 1 < items.size(); ++i) {
        if (items[i]->objectName() == QLatin1String("mnuView_Find")) {
            after_find = items[i + 1];
        }
    }
    view.insertAction(after_find, mnuView_SearchText);

    status_ = new QLabel(&window);
    status_->setObjectName(QStringLiteral("searchStatus"));
    status_->hide();
    window.statusBar()->addWidget(status_, 1);
    progress_ = new QProgressBar(&window);
    progress_->setObjectName(QStringLiteral("indexProgress"));
    progress_->setFormat(QStringLiteral("%v of %m"));
    progress_->setMaximumWidth(TwipsScale::of(window.screen()).x(3000));
    cancel_button_ = new QPushButton(QStringLiteral("Cancel"), &window);
    cancel_button_->setObjectName(QStringLiteral("cmdCancelIndex"));
    cancel_button_->setAutoDefault(false);
    window.statusBar()->addPermanentWidget(progress_);
    window.statusBar()->addPermanentWidget(cancel_button_);
    set_progress_visible(false);
    // For screen readers.
    bar_.search_choice().setAccessibleDescription(
        QStringLiteral("Searches the text of every document with the words of the find box. "
                       "Ctrl+Shift+F; Esc returns to the full list."));
    status_->setAccessibleDescription(QStringLiteral("What the search of the documents found."));
    progress_->setAccessibleName(QStringLiteral("Indexing progress"));
    progress_->setAccessibleDescription(
        QStringLiteral("How many documents the first search has read."));
    cancel_button_->setAccessibleDescription(QStringLiteral(
        "Stops reading the documents; what was read is kept. Esc leaves the search."));

    // Esc leaves the search from anywhere in the window; a batch has its own.
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape_->setObjectName(QStringLiteral("leaveSearchShortcut"));
    escape_->setEnabled(false);

    typing_pause_.setSingleShot(true);
    typing_pause_.setInterval(kTypingPauseMs);

    connect(mnuView_SearchText, &QAction::triggered, this, &TextSearch::open);
    connect(&bar_.search_choice(), &QCheckBox::toggled, this, &TextSearch::choose);
    connect(&bar_.box(), &QLineEdit::textChanged, this, [this] {
        if (searching()) {
            typing_pause_.start();
        }
    });
    connect(&bar_.box(), &QLineEdit::returnPressed, this, [this] {
        if (searching()) {
            search_now();
        }
    });
    connect(&typing_pause_, &QTimer::timeout, this, &TextSearch::search_now);
    connect(escape_, &QShortcut::activated, this, &TextSearch::leave);
    connect(cancel_button_, &QPushButton::clicked, index_, &IndexSearch::cancel);
    connect(index_, &IndexSearch::progress, this, &TextSearch::on_progress);
    connect(index_, &IndexSearch::finished, this, &TextSearch::on_finished);
    // View > Find filters the list again.
    for (QAction* item : items) {
        if (item->objectName() == QLatin1String("mnuView_Find")) {
            connect(item, &QAction::triggered, this,
                    [this] { bar_.search_choice().setChecked(false); });
        }
    }

    ReportGridModel& model = window.grid_model();
    connect(&model, &QAbstractItemModel::modelReset, this, &TextSearch::after_reset);
    PreviewPane& preview = window.document_commands().preview();
    connect(&preview, &PreviewPane::loaded, this, &TextSearch::mark_preview);
    connect(window.grid().selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &preview] {
                if (!preview.loading()) {
                    mark_preview();
                }
            });
}

TextSearch::~TextSearch() = default;

QList<QObject*> TextSearch::commands() const {
    return {mnuView_SearchText, &bar_.search_choice()};
}

bool TextSearch::searching() const {
    return bar_.searching();
}

void TextSearch::open() {
    if (window_.batch().running()) {
        return;
    }
    bar_.search_choice().setChecked(true);
    bar_.open();
}

void TextSearch::choose(bool on) {
    escape_->setEnabled(on);
    if (!on) {
        index_->cancel();
        set_progress_visible(false);
        back_to_full_list();
        return;
    }
    status_->show();
    // The index is made ready while the words are typed.
    refresh_or_search(bar_.box().text().trimmed());
}

void TextSearch::search_now() {
    typing_pause_.stop();
    if (!searching()) {
        return;
    }
    const QString query = bar_.box().text().trimmed();
    if (query.isEmpty()) {
        back_to_full_list();
        escape_->setEnabled(true);
        status_->show();
    }
    refresh_or_search(query);
}

void TextSearch::refresh_or_search(const QString& query) {
    const QString folder = sys_.Path_HTMLReports();
    if (folder.isEmpty()) {
        say(QStringLiteral("No HTML reports folder is set (Options)."));
        return;
    }
    say(query.isEmpty() ? QStringLiteral("Type the words to look for in the documents.")
                        : QStringLiteral("Searching..."));
    request_clock_.start();
    index_->request(folder, query, kMostDocuments);
}

void TextSearch::on_progress(qint64 done, qint64 total, bool full) {
    if (!searching() || (!full && request_clock_.elapsed() < kQuietRefreshMs)) {
        return;
    }
    say(full ? QStringLiteral("Indexing the documents for the first search...")
             : QStringLiteral("Bringing the index up to date..."));
    progress_->setRange(0, static_cast<int>(std::min<qint64>(total, INT_MAX)));
    progress_->setValue(static_cast<int>(std::min(done, total)));
    set_progress_visible(true);
}

void TextSearch::on_finished(const IndexSearch::Outcome& outcome) {
    set_progress_visible(false);
    if (!searching() || window_.batch().running()) {
        return;  // asked for by a search that is over
    }
    if (outcome.cancelled) {
        say(QStringLiteral("Indexing stopped. What was read is kept for the next search."));
    } else if (!outcome.error.isEmpty()) {
        QString error = outcome.error;
        error[0] = error[0].toUpper();  // a sentence of its own in the status bar
        say(error);
    } else if (outcome.query.isEmpty()) {
        say(QStringLiteral("Type the words to look for in the documents."));
    } else {
        show_matches(outcome);
    }
}

void TextSearch::show_matches(const IndexSearch::Outcome& outcome) {
    std::vector<ReportGridModel::Match> matches;
    matches.reserve(outcome.hits.size());
    // The index names the documents by the folder's canonical path.
    const QString root = QFileInfo(sys_.Path_HTMLReports()).canonicalFilePath();
    for (const SearchHit& hit : outcome.hits) {
        if (auto match = match_of(root, hit)) {
            matches.push_back(std::move(*match));
        }
    }
    ReportGridView& grid = window_.grid();
    ReportGridModel& model = window_.grid_model();
    QList<int> widths;
    for (int c = 0; c < kSharedColumns && !model.conversion_view(); ++c) {
        widths << grid.columnWidth(c);
    }
    const std::size_t count = matches.size();
    shown_ = true;
    shown_query_ = outcome.query;
    model.show_matches(std::move(matches));
    // The shared columns as narrow as their text lets them be, so that the
    // passages have the room.
    for (int c = 0; c < widths.size(); ++c) {
        grid.resizeColumnToContents(c);
        grid.setColumnWidth(c, std::min(widths[c], grid.columnWidth(c)));
    }
    window_.Form_Resize();
    if (count > 0) {
        grid.selectionModel()->setCurrentIndex(
            window_.grid_filter().index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    say(count_text(count));
}

void TextSearch::leave() {
    bar_.box().clear();
    bar_.search_choice().setChecked(false);  // back to the full list
    bar_.hide();
    window_.grid().setFocus();
}

void TextSearch::back_to_full_list() {
    typing_pause_.stop();
    status_->hide();
    escape_->setEnabled(searching());
    window_.document_commands().preview().setExtraSelections({});
    if (!std::exchange(shown_, false)) {
        return;
    }
    // The list comes back with the document that was chosen among the matches.
    const ReportEntry* chosen = window_.entry_at(window_.grid().currentIndex());
    const QString document = chosen != nullptr ? document_path(sys_, *chosen) : QString();
    const QString name = chosen != nullptr ? chosen->Rep_DestinationFilename : QString();
    show_report_list_();
    if (document.isEmpty()) {
        return;
    }
    const ReportFilter& rows = window_.grid_filter();
    for (int r = 0; r < rows.rowCount(); ++r) {
        const ReportEntry* entry = window_.entry_at(rows.index(r, 0));
        if (entry != nullptr && entry->Rep_DestinationFilename == name &&
            document_path(sys_, *entry) == document) {
            window_.grid().selectionModel()->setCurrentIndex(
                rows.index(r, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            window_.grid().scrollTo(rows.index(r, 0));
            break;
        }
    }
}

void TextSearch::after_reset() {
    ReportGridModel& model = window_.grid_model();
    window_.grid().setItemDelegateForColumn(kSharedColumns,
                                            model.search_view() ? delegate_ : nullptr);
    if (model.conversion_view() && searching()) {
        // A batch takes the grid: the search is over.
        shown_ = false;
        leave();
    } else if (shown_ && !model.search_view()) {
        // The list was shown again (sorted, refreshed): the matches come back.
        shown_ = false;
        search_now();
    }
}

void TextSearch::mark_preview() {
    PreviewPane& preview = window_.document_commands().preview();
    if (!shown_) {
        if (!preview.extraSelections().isEmpty()) {
            preview.setExtraSelections({});
        }
        return;
    }
    const QModelIndex current = window_.grid().currentIndex();
    const ReportEntry* entry = window_.entry_at(current);
    if (entry == nullptr || preview.document_path().isEmpty() ||
        preview.document_path() != document_path(sys_, *entry)) {
        return;
    }
    const QString passage =
        current.siblingAtColumn(kSharedColumns).data(ReportGridModel::kMarkedTextRole).toString();
    mark_search_terms(preview, search_terms(shown_query_, passage));
}

void TextSearch::set_progress_visible(bool visible) {
    progress_->setVisible(visible);
    cancel_button_->setVisible(visible);
}

void TextSearch::say(const QString& text) {
    status_->setText(text);
    status_->setVisible(searching());
}

}  // namespace quillet
