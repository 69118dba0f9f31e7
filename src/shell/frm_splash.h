// The splash window shown while the program starts.
#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace quillet {

class frmSplash final : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

private:
    QTimer* tmrSplash;
    QFrame* fraTitle;
    QLabel* lblTitle;
    QLabel* lblAppDesc;
    QLabel* Label1;
    QLabel* lblVersion;
};

}  // namespace quillet
