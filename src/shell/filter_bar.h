// The filter box above the report grid. It stays hidden until Ctrl+F (View >
// Find) opens it; Esc clears it, and closes it when it is already empty.
// While it holds words the status bar says how many rows of the report list
// are shown. Beside the box, the "Search text" choice turns it into a search
// of the documents' text (text_search.h), which filters nothing.
#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QStatusBar;

namespace quillet {

class ReportFilter;

class FilterBar final : public QWidget {
    Q_OBJECT
public:
    FilterBar(ReportFilter& filter, QStatusBar& status, QWidget* parent = nullptr);

    // Shows the box and gives it the focus, with its text selected.
    void open();
    QLineEdit& box() { return *box_; }
    QCheckBox& search_choice() { return *search_; }
    bool searching() const;

Q_SIGNALS:
    // The box was closed with Esc; the grid takes the focus back.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update_count();

    ReportFilter& filter_;
    QLineEdit* box_ = nullptr;
    QLabel* count_ = nullptr;
    QCheckBox* search_ = nullptr;
};

}  // namespace quillet
