#include "report_grid_view.h"

#include <QAbstractProxyModel>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "colour_scheme.h"

namespace quillet {

namespace {

// Draws the selected row on the palette's highlight, darkened or lightened
// where the highlighted text would not read on it.
class SelectionContrastDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->state & QStyle::State_Selected) {
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                option->palette.setColor(group, QPalette::Highlight,
                                         selection_colour(option->palette, group));
            }
        }
    }
};

}  // namespace

ReportGridView::ReportGridView(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new SelectionContrastDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // One line of text per row.
    const int row_height = fontMetrics().height() + 6;
    verticalHeader()->setMinimumSectionSize(row_height);
    verticalHeader()->setDefaultSectionSize(row_height);
    // A click on a column header sorts by that column (the window's).
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    // The header row is part of the grid: its right button shows the popup too.
    horizontalHeader()->viewport()->installEventFilter(this);
}

bool ReportGridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            Q_EMIT rightButtonReleased(mouse->globalPosition().toPoint());
        }
    }
    return QTableView::eventFilter(watched, event);
}

void ReportGridView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Keyboard) {
        QTableView::contextMenuEvent(event);  // the mouse: its release shows the popup
        return;
    }
    event->accept();
    const QRect row = visualRect(currentIndex());
    const QPoint where = row.isValid() ? QPoint(row.left(), row.bottom()) : QPoint(0, 0);
    Q_EMIT rightButtonReleased(viewport()->mapToGlobal(where));
}

void ReportGridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    QTableView::keyPressEvent(event);
}

void ReportGridView::set_empty_text(const QString& text) {
    empty_text_ = text;
    viewport()->update();
}

void ReportGridView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    // Rows that the find box hides do not make the list empty.
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model());
    const QAbstractItemModel* rows = proxy != nullptr ? proxy->sourceModel() : model();
    if (empty_text_.isEmpty() || rows == nullptr || rows->rowCount() > 0) {
        return;
    }
    QPainter painter(viewport());
    const int margin = fontMetrics().height();
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, empty_text_);
}

QModelIndex ReportGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action == MoveHome || action == MoveEnd) {
        modifiers |= Qt::ControlModifier;
    }
    return QTableView::moveCursor(action, modifiers);
}

void ReportGridView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) {
        Q_EMIT rightButtonReleased(event->globalPosition().toPoint());
    }
}

}  // namespace quillet
