#include "report_grid_model.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "match_text.h"
#include "sys_vars.h"

namespace quillet {

namespace {

constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignTop;

}  // namespace

ReportGridModel::ReportGridModel(QObject* parent)
    : QAbstractTableModel(parent), columns_(report_columns(false)) {}

void ReportGridModel::set_up(bool conversion_view) {
    beginResetModel();
    conversion_view_ = conversion_view;
    search_view_ = false;
    columns_ = report_columns(conversion_view);
    rows_.clear();
    endResetModel();
}

void ReportGridModel::show_matches(std::vector<Match> matches) {
    beginResetModel();
    conversion_view_ = false;
    search_view_ = true;
    columns_ = match_columns();
    rows_.clear();
    rows_.reserve(matches.size());
    for (Match& match : matches) {
        rows_.push_back({true, std::move(match.entry), std::move(match.passage)});
    }
    endResetModel();
}

void ReportGridModel::store_row(int n, const ReportEntry& entry) {
    Row& row = rows_[static_cast<std::size_t>(n - 1)];
    row.written = true;
    row.entry = entry;
}

void ReportGridModel::fill_row(int n, const ReportEntry& entry) {
    if (n < 1) {
        return;
    }
    const int old_rows = rowCount();
    if (n > old_rows) {
        beginInsertRows({}, old_rows, n - 1);
        rows_.resize(static_cast<std::size_t>(n));
        store_row(n, entry);
        endInsertRows();
        return;
    }
    store_row(n, entry);
    Q_EMIT dataChanged(index(n - 1, 0), index(n - 1, columnCount() - 1));
}

void ReportGridModel::fill_rows(const cSys_vars& sys, int count) {
    beginResetModel();
    if (count > rowCount()) {
        rows_.resize(static_cast<std::size_t>(count));
    }
    for (int n = 1; n <= count; ++n) {
        store_row(n, sys.entry(n));
    }
    endResetModel();
}

void ReportGridModel::fill_rows(const cSys_vars& sys, const QList<int>& indexes) {
    if (indexes.isEmpty() || indexes.front() < 1) {
        return;
    }
    const int old_rows = rowCount();
    const int last = indexes.back();
    if (last > old_rows) {
        beginInsertRows({}, old_rows, last - 1);
        rows_.resize(static_cast<std::size_t>(last));
    }
    int first_changed = -1;
    int last_changed = -1;
    for (const int n : indexes) {
        store_row(n, sys.entry(n));
        if (n <= old_rows) {
            first_changed = first_changed < 0 ? n : std::min(first_changed, n);
            last_changed = std::max(last_changed, n);
        }
    }
    if (last > old_rows) {
        endInsertRows();
    }
    if (first_changed > 0) {
        Q_EMIT dataChanged(index(first_changed - 1, 0), index(last_changed - 1, columnCount() - 1));
    }
}

const ReportEntry* ReportGridModel::entry_of_row(int n) const {
    if (n < 1 || n > rowCount()) {
        return nullptr;
    }
    const Row& row = rows_[static_cast<std::size_t>(n - 1)];
    return row.written ? &row.entry : nullptr;
}

QColor ReportGridModel::background(bool converted) {
    return report_row_colours(QApplication::palette(), converted).background;
}

QColor ReportGridModel::foreground(bool converted) {
    return report_row_colours(QApplication::palette(), converted).text;
}

const RowColours& ReportGridModel::row_colours(bool converted) const {
    // Worked out again only when the palette changes (the colour scheme).
    const QPalette palette = QApplication::palette();
    if (palette.cacheKey() != colours_key_) {
        colours_key_ = palette.cacheKey();
        colours_[0] = report_row_colours(palette, false);
        colours_[1] = report_row_colours(palette, true);
    }
    return colours_[converted ? 1U : 0U];
}

int ReportGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReportGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(kCellAlignment);
    }
    if (!row.written) {
        return {};
    }
    const ReportColumn::Field field = column(index.column()).field;
    if (field == ReportColumn::Field::match &&
        (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
        return without_match_marks(row.passage);
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return report_cell_text(index.row() + 1, row.entry, field);
        case kMarkedTextRole:
            return row.passage;
        case Qt::BackgroundRole:
            return row_colours(row.entry.Rep_Converted).background;
        case Qt::ForegroundRole:
            return row_colours(row.entry.Rep_Converted).text;
        default:
            return {};
    }
}

QVariant ReportGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromLatin1(column(section).header);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(kCellAlignment);
        default:
            return {};
    }
}

}  // namespace quillet
