// An option button whose caption wraps over as many lines as its width needs,
// with the indicator beside the first line.
#pragma once

#include <QRadioButton>

namespace quillet {

class WrappingRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit WrappingRadioButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    int text_indent() const;
    int first_line_height() const;
    QRect text_rect(int width) const;
};

}  // namespace quillet
