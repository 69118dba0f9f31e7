// The about box.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace quillet {

class BrowserLauncher;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(BrowserLauncher& browser, QWidget* owner = nullptr);

protected:
    // Follows the colour scheme when the palette changes.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void build_controls();
    void apply_colours();
    void set_link_underlined(bool underlined);
    void lblLink_Click();

    BrowserLauncher& browser_;
    bool link_pressed_ = false;

    QPushButton* cmdOK = nullptr;
    QLabel* picIcon = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblLink = nullptr;
    QFrame* Line1 = nullptr;
};

}  // namespace quillet
