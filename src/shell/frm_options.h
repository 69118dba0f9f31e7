// The options dialog: the three folders and the two policies.
#pragma once

#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace quillet {

class cSys_vars;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    // Loads from sys (running the sibling lookup when that policy is chosen).
    explicit frmOptions(cSys_vars& sys, QWidget* owner = nullptr);

protected:
    // Esc fills in the defaults, as "&Default All" does; the dialog stays open.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build_controls();
    void pr_Fill_Options_Controls();
    void choose_folder(std::int16_t target, QLineEdit* box);
    void cmdDefault_Click();
    void cmdOK_Click();

    cSys_vars& sys_;

    QLineEdit* txtPathFennick = nullptr;
    QLineEdit* txtPathOrvella = nullptr;
    QLineEdit* txtPathHTMLReports = nullptr;
    QPushButton* cmdSetPathFennick = nullptr;
    QPushButton* cmdSetPathOrvella = nullptr;
    QPushButton* cmdSetPathHTMLReports = nullptr;
    QButtonGroup* optConvert = nullptr;
    QButtonGroup* optFennickChoice = nullptr;
    QPushButton* cmdDefault = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;
};

}  // namespace quillet
