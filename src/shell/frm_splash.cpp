#include "frm_splash.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "accessibility.h"
#include "app_info.h"
#include "shell_globals.h"
#include "twips.h"

namespace quillet {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(kApplicationTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);
    const TwipsScale s = TwipsScale::of(screen());
    auto place = [&s](QWidget* widget, double left, double top, double width, double height) {
        widget->setGeometry(s.x(left), s.y(top), s.x(width), s.y(height));
    };
    setFixedSize(s.x(5415), s.y(1575));

    tmrSplash = new QTimer(this);
    tmrSplash->setObjectName(QStringLiteral("tmrSplash"));
    tmrSplash->setInterval(500);
    connect(tmrSplash, &QTimer::timeout, this, [] { gblnSplashDone = true; });

    fraTitle = new QFrame(this);
    fraTitle->setObjectName(QStringLiteral("fraTitle"));
    fraTitle->setFrameShape(QFrame::Box);
    fraTitle->setFrameShadow(QFrame::Sunken);
    place(fraTitle, 120, 0, 5175, 1455);

    auto make_label = [this](const char* name, const QString& text, Qt::Alignment alignment) {
        auto* label = new QLabel(text, fraTitle);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(alignment);
        return label;
    };
    lblTitle = make_label("lblTitle", kApplicationTitle, Qt::AlignHCenter | Qt::AlignTop);
    QFont title_font(QStringLiteral("Arial"));
    title_font.setPointSizeF(14.25);
    title_font.setBold(true);
    lblTitle->setFont(title_font);
    place(lblTitle, 0, 240, 5175, 375);

    lblAppDesc = make_label(
        "lblAppDesc",
        QStringLiteral(
            "Quillet converts reports for printing from Word 2000 or Internet Explorer 5"),
        Qt::AlignHCenter | Qt::AlignTop);
    lblAppDesc->setWordWrap(true);
    QFont description_font = lblAppDesc->font();
    description_font.setPointSizeF(9.75);
    lblAppDesc->setFont(description_font);
    place(lblAppDesc, 600, 600, 3855, 615);

    Label1 =
        make_label("Label1", QStringLiteral("Initialising..."), Qt::AlignHCenter | Qt::AlignTop);
    place(Label1, 0, 1200, 5175, 255);

    lblVersion = make_label("lblVersion", gstrVersion, Qt::AlignRight | Qt::AlignTop);
    place(lblVersion, 3720, 1200, 1335, 255);

    // Centred on the screen.
    if (const QScreen* where = screen()) {
        const QRect area = where->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    describe_controls(*this);
    tmrSplash->start();
}

}  // namespace quillet
