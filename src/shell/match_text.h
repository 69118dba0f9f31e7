// The passages that a text search found: the words that matched lie between
// U+FDD0 and U+FDD1. The grid draws them bold; the preview marks the same
// words in the document. The marks never reach a screen reader, a tooltip or
// the clipboard.
#pragma once

#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>
#include <vector>

class QTextEdit;

namespace quillet {

inline constexpr QChar kMatchStart = QChar(0xFDD0);
inline constexpr QChar kMatchEnd = QChar(0xFDD1);

// passage without its marks.
QString without_match_marks(QString passage);

// The words a document is searched for in the preview: the query's own words
// (a word ending in "*" matches every word it begins) and the words marked
// in the document's passage, as the document spells them.
struct SearchTerm {
    QString text;
    bool prefix = false;
    bool operator==(const SearchTerm&) const = default;
};
std::vector<SearchTerm> search_terms(const QString& query, const QString& marked_passage);

// Marks every occurrence of the terms in view (as extra selections, in any
// letter case, whole words) and scrolls to the first. Returns how many.
int mark_search_terms(QTextEdit& view, const std::vector<SearchTerm>& terms);

// Draws a cell's marked text (ReportGridModel::kMarkedTextRole) with the
// matched words bold, on the grid's selection colours.
class MatchDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace quillet
