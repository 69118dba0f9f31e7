// The rows of the report grid that match the filter box: every word of the
// filter, in any letter case, found in the student number, the report name
// or the comment. Rows keep the order of the report list. A row dragged out
// of the grid carries its document's file address.
#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>
#include <functional>

namespace quillet {

class ReportGridModel;
struct ReportEntry;

class ReportFilter final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    // document_of gives the path of an entry's document (for dragging).
    ReportFilter(ReportGridModel& grid, std::function<QString(const ReportEntry&)> document_of,
                 QObject* parent = nullptr);

    // Words separated by blanks; empty text lets every row through.
    void set_filter_text(const QString& text);
    bool filtering() const { return !words_.isEmpty(); }

    // The entry that a row of the filtered grid was written with, or nullptr.
    const ReportEntry* entry_at(const QModelIndex& index) const;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

protected:
    bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;

private:
    ReportGridModel& grid_;
    std::function<QString(const ReportEntry&)> document_of_;
    QStringList words_;
};

// True when every word occurs in one of the texts, in any letter case.
bool matches_all_words(const QStringList& words, std::initializer_list<QStringView> texts);

}  // namespace quillet
