// The about box.
#pragma once

#include <QDialog>

namespace quillet {

class BrowserLauncher;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(BrowserLauncher& browser, QWidget* owner = nullptr);
};

}  // namespace quillet
