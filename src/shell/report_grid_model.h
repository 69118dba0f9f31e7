// The cells of the report grid: one header row and one row per report entry,
// in the list view (5 columns) or the conversion view (7 columns). Each row
// keeps the entry's values as they were when the row was written. A text
// search shows the documents it found in a view of their own.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <array>
#include <span>
#include <vector>

#include "colour_scheme.h"
#include "report_columns.h"
#include "report_entry.h"

namespace quillet {

class cSys_vars;

class ReportGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportGridModel(QObject* parent = nullptr);

    // A cell's text with the matched words between U+FDD0 and U+FDD1 (the
    // Match column); its display text has no marks.
    static constexpr int kMarkedTextRole = Qt::UserRole + 1;
    // A document that a text search found, and the passage that matched.
    struct Match {
        ReportEntry entry;
        QString passage;
    };

    // Empties the grid down to its header row, with the columns of the view.
    void set_up(bool conversion_view);
    // Writes row n (from 1) with entry's values; the grid grows to n rows when
    // it has fewer and never shrinks here.
    void fill_row(int n, const ReportEntry& entry);
    // Writes rows 1..count from entries 1..count of sys in one go.
    void fill_rows(const cSys_vars& sys, int count);
    // fill_row for the entries indexes of sys (ascending), with one insertion
    // and one change for all of them.
    void fill_rows(const cSys_vars& sys, const QList<int>& indexes);

    // Shows the matches, best first, in the search view (match_columns()).
    void show_matches(std::vector<Match> matches);

    bool conversion_view() const { return conversion_view_; }
    bool search_view() const { return search_view_; }
    const ReportColumn& column(int c) const { return columns_[static_cast<std::size_t>(c)]; }
    // The entry row n (from 1) was written with; nullptr for an unwritten row.
    const ReportEntry* entry_of_row(int n) const;

    // Colours of an entry's row, from the application's palette.
    static QColor background(bool converted);
    static QColor foreground(bool converted);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        bool written = false;
        ReportEntry entry;
        QString passage;  // the search view's match
    };
    void store_row(int n, const ReportEntry& entry);
    const RowColours& row_colours(bool converted) const;

    bool conversion_view_ = false;
    bool search_view_ = false;
    std::span<const ReportColumn> columns_;
    std::vector<Row> rows_;                      // rows_[0] is grid row 1
    mutable qint64 colours_key_ = -1;            // the palette the colours were worked out for
    mutable std::array<RowColours, 2> colours_;  // not converted, converted
};

}  // namespace quillet
