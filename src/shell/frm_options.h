// The options dialog: the three folders and the two policies.
#pragma once

#include <QDialog>

namespace quillet {

class cSys_vars;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    // Loads from sys (running the sibling lookup when that policy is chosen).
    explicit frmOptions(cSys_vars& sys, QWidget* owner = nullptr);
};

}  // namespace quillet
