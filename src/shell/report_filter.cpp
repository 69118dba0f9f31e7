#include "report_filter.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <set>

#include "report_columns.h"
#include "report_grid_model.h"

namespace quillet {

bool matches_all_words(const QStringList& words, std::initializer_list<QStringView> texts) {
    return std::all_of(words.begin(), words.end(), [&](const QString& word) {
        return std::any_of(texts.begin(), texts.end(), [&](QStringView text) {
            return text.contains(word, Qt::CaseInsensitive);
        });
    });
}

ReportFilter::ReportFilter(ReportGridModel& grid,
                           std::function<QString(const ReportEntry&)> document_of, QObject* parent)
    : QSortFilterProxyModel(parent), grid_(grid), document_of_(std::move(document_of)) {
    setSourceModel(&grid);
}

void ReportFilter::set_filter_text(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    if (words == words_) {
        return;
    }
    words_ = std::move(words);
    invalidateRowsFilter();
}

bool ReportFilter::filterAcceptsRow(int source_row, const QModelIndex&) const {
    if (words_.isEmpty()) {
        return true;
    }
    const int n = source_row + 1;
    const ReportEntry* entry = grid_.entry_of_row(n);
    if (entry == nullptr) {
        return false;
    }
    const QString student = report_cell_text(n, *entry, ReportColumn::Field::student);
    return matches_all_words(words_, {student, entry->Rep_DestinationFilename, entry->Rep_Comment});
}

const ReportEntry* ReportFilter::entry_at(const QModelIndex& index) const {
    if (!index.isValid()) {
        return nullptr;
    }
    return grid_.entry_of_row(mapToSource(index).row() + 1);
}

Qt::ItemFlags ReportFilter::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QSortFilterProxyModel::flags(index);
    const ReportEntry* entry = entry_at(index);
    // A row whose conversion failed has no document to hand on.
    if (entry != nullptr && (entry->Rep_Converted || !grid_.conversion_view())) {
        flags |= Qt::ItemIsDragEnabled;
    }
    return flags;
}

QStringList ReportFilter::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

Qt::DropActions ReportFilter::supportedDragActions() const {
    return Qt::CopyAction;
}

QMimeData* ReportFilter::mimeData(const QModelIndexList& indexes) const {
    std::set<int> rows;
    for (const QModelIndex& index : indexes) {
        if (flags(index).testFlag(Qt::ItemIsDragEnabled)) {
            rows.insert(index.row());
        }
    }
    if (rows.empty()) {
        return nullptr;
    }
    QList<QUrl> urls;
    QStringList paths;
    for (const int row : rows) {
        const QString path = document_of_(*entry_at(index(row, 0)));
        urls << QUrl::fromLocalFile(path);
        paths << path;
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setText(paths.join(QLatin1Char('\n')));
    return data;
}

}  // namespace quillet
