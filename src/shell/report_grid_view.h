// The report grid control: a table of whole-row selection that reports the
// Enter key and the release of the right mouse button, and says what to do
// while it has no row.
#pragma once

#include <QTableView>

namespace quillet {

class ReportGridView final : public QTableView {
    Q_OBJECT
public:
    explicit ReportGridView(QWidget* parent = nullptr);

    // What the grid says while it has no row; empty: nothing.
    void set_empty_text(const QString& text);
    const QString& empty_text() const { return empty_text_; }

Q_SIGNALS:
    // Enter or Return was pressed on the grid.
    void enterPressed();
    // The right mouse button was released over the grid or its header row,
    // at global_pos; the menu key of the keyboard reports itself here too,
    // at the current row.
    void rightButtonReleased(const QPoint& global_pos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Home and End reach the first and the last row, as Ctrl+Home and
    // Ctrl+End do.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    QString empty_text_;
};

}  // namespace quillet
