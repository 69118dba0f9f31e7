#include "match_text.h"

#include <QApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>

#include "colour_scheme.h"
#include "report_grid_model.h"

namespace quillet {

namespace {

// A document with very many matches is marked as far as this.
constexpr int kMostMarks = 2000;

struct Run {
    QString text;
    bool marked = false;
};

// passage cut where its marks are, without them; blanks of any kind read as
// spaces.
std::vector<Run> runs_of(const QString& passage) {
    std::vector<Run> runs(1);
    for (const QChar c : passage) {
        if (c == kMatchStart || c == kMatchEnd) {
            if (!runs.back().text.isEmpty()) {
                runs.emplace_back();
            }
            runs.back().marked = c == kMatchStart;
            continue;
        }
        runs.back().text += c.isSpace() ? QChar(u' ') : c;
    }
    return runs;
}

void add_term(std::vector<SearchTerm>& terms, SearchTerm term) {
    term.text = term.text.simplified();
    if (term.text.isEmpty()) {
        return;
    }
    const bool known = std::any_of(terms.begin(), terms.end(), [&](const SearchTerm& t) {
        return t.prefix == term.prefix && t.text.compare(term.text, Qt::CaseInsensitive) == 0;
    });
    if (!known) {
        terms.push_back(std::move(term));
    }
}

bool in_word(const QTextDocument& document, int position) {
    return position >= 0 && document.characterAt(position).isLetterOrNumber();
}

}  // namespace

QString without_match_marks(QString passage) {
    return passage.remove(kMatchStart).remove(kMatchEnd);
}

std::vector<SearchTerm> search_terms(const QString& query, const QString& marked_passage) {
    std::vector<SearchTerm> terms;
    // Phrases in quotes, and the words between the operators and brackets.
    static const QRegularExpression token(QStringLiteral(R"re("((?:[^"]|"")*)"(\*?)|[^\s"()]+)re"));
    for (auto it = token.globalMatch(query); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (match.capturedLength(1) > 0 || match.captured(0).startsWith(u'"')) {
            add_term(terms,
                     {match.captured(1).replace(QStringLiteral("\"\""), QStringLiteral("\"")),
                      match.capturedLength(2) > 0});
            continue;
        }
        QString word = match.captured(0);
        if (word == u"AND" || word == u"OR" || word == u"NOT" || word.startsWith(u"NEAR")) {
            continue;
        }
        word = word.mid(word.lastIndexOf(u':') + 1);  // a column filter
        const bool prefix = word.endsWith(u'*');
        static const QRegularExpression edges(QStringLiteral(R"(^[^\w]+|[^\w]+$)"),
                                              QRegularExpression::UseUnicodePropertiesOption);
        add_term(terms, {word.remove(edges), prefix});
    }
    for (const Run& run : runs_of(marked_passage)) {
        if (run.marked) {
            add_term(terms, {run.text, false});
        }
    }
    return terms;
}

int mark_search_terms(QTextEdit& view, const std::vector<SearchTerm>& terms) {
    QTextDocument& document = *view.document();
    QTextCharFormat format;
    // Marker yellow, which reads in the light and the dark colour scheme.
    format.setBackground(QColor(255, 214, 0));
    format.setForeground(QColor(0, 0, 0));
    QList<QTextEdit::ExtraSelection> marks;
    for (const SearchTerm& term : terms) {
        const QTextDocument::FindFlags flags =
            term.prefix ? QTextDocument::FindFlags() : QTextDocument::FindWholeWords;
        QTextCursor found(&document);
        while (marks.size() < kMostMarks) {
            found = document.find(term.text, found, flags);
            if (found.isNull()) {
                break;
            }
            if (term.prefix) {
                if (in_word(document, found.selectionStart() - 1)) {
                    continue;
                }
                while (in_word(document, found.position())) {
                    found.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
                }
            }
            marks.push_back({found, format});
        }
    }
    std::sort(marks.begin(), marks.end(), [](const auto& a, const auto& b) {
        return a.cursor.selectionStart() < b.cursor.selectionStart();
    });
    view.setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor first(&document);
        first.setPosition(marks.front().cursor.selectionStart());
        view.setTextCursor(first);
        // The first match, a third of the way down the view; again once a
        // view that has just been shown has its size.
        auto scroll = [&view, first] {
            QScrollBar& bar = *view.verticalScrollBar();
            bar.setValue(bar.value() + view.cursorRect(first).top() -
                         view.viewport()->height() / 3);
        };
        scroll();
        QTimer::singleShot(0, &view, scroll);
    }
    return static_cast<int>(marks.size());
}

void MatchDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->state & QStyle::State_Selected) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            option->palette.setColor(group, QPalette::Highlight,
                                     selection_colour(option->palette, group));
        }
    }
}

void MatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();  // the background, the selection and the focus only
    const QWidget* widget = cell.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget)
                           .adjusted(margin, 0, -margin, 0);
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    QFont bold = cell.font;
    bold.setBold(true);
    painter->save();
    painter->setClipRect(area);
    painter->setPen(cell.palette.color(
        group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    std::vector<Run> runs = runs_of(index.data(ReportGridModel::kMarkedTextRole).toString());
    // The first match stays in sight: the text before it gives way from the left.
    const auto first =
        std::find_if(runs.begin(), runs.end(), [](const Run& r) { return r.marked; });
    if (first != runs.end() && first != runs.begin()) {
        QString lead;
        for (auto run = runs.begin(); run != first; ++run) {
            lead += run->text;
        }
        const QFontMetrics plain(cell.font);
        const int match = QFontMetrics(bold).horizontalAdvance(first->text);
        if (plain.horizontalAdvance(lead) + match > area.width()) {
            const int keep = std::max(0, std::min(area.width() / 4, area.width() - match));
            runs.erase(runs.begin() + 1, first);
            runs.front().text = plain.elidedText(lead, Qt::ElideLeft, keep);
        }
    }
    int x = area.left();
    for (const Run& run : runs) {
        const QFont& font = run.marked ? bold : cell.font;
        const QFontMetrics metrics(font);
        const int room = area.right() + 1 - x;
        const bool fits = metrics.horizontalAdvance(run.text) <= room;
        const QString text = fits ? run.text : metrics.elidedText(run.text, Qt::ElideRight, room);
        painter->setFont(font);
        painter->drawText(QRect(x, area.top(), room, area.height()),
                          static_cast<int>(cell.displayAlignment) | Qt::TextSingleLine, text);
        x += metrics.horizontalAdvance(text);
        if (!fits) {
            break;
        }
    }
    painter->restore();
}

}  // namespace quillet
