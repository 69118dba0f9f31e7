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
    // The right mouse button was released over the grid, at global_pos.
    void rightButtonReleased(const QPoint& global_pos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace quillet
