#include "report_grid_model.h"

#include <QApplication>
#include <QPalette>
#include <cmath>

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
    columns_ = report_columns(conversion_view);
    rows_.clear();
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

const ReportEntry* ReportGridModel::entry_of_row(int n) const {
    if (n < 1 || n > rowCount()) {
        return nullptr;
    }
    const Row& row = rows_[static_cast<std::size_t>(n - 1)];
    return row.written ? &row.entry : nullptr;
}

QColor ReportGridModel::background(bool converted) {
    if (converted) {
        return QColor(255, 255, 255);
    }
    // The grey of disabled text, darkened where the palette's is too light to
    // carry white text (a contrast of 3:1 at least).
    QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    auto contrast_with_white = [](const QColor& c) {
        auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        const double luminance =
            0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
        return 1.05 / (luminance + 0.05);
    };
    for (int step = 0; step < 20 && contrast_with_white(grey) < 3.0; ++step) {
        grey = grey.darker(105);
    }
    return grey;
}

QColor ReportGridModel::foreground(bool converted) {
    return converted ? QColor(0, 0, 0) : QColor(255, 255, 255);
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
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return report_cell_text(index.row() + 1, row.entry, column(index.column()).field);
        case Qt::BackgroundRole:
            return background(row.entry.Rep_Converted);
        case Qt::ForegroundRole:
            return foreground(row.entry.Rep_Converted);
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
