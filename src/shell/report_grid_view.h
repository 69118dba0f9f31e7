// The report grid control: a table of whole-row selection that reports the
// Enter key and the release of the right mouse button.
#pragma once

#include <QTableView>

namespace quillet {

class ReportGridView final : public QTableView {
    Q_OBJECT
public:
    explicit ReportGridView(QWidget* parent = nullptr);

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
};

}  // namespace quillet
