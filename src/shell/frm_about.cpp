#include "frm_about.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "accessibility.h"
#include "app_info.h"
#include "browser_launcher.h"
#include "colour_scheme.h"
#include "dialog_geometry.h"

namespace quillet {

namespace {

QLabel* make_label(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void set_text_colour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

}  // namespace

frmAbout::frmAbout(BrowserLauncher& browser, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      browser_(browser) {
    build_controls();

    setWindowTitle(QStringLiteral("About ") + kApplicationTitle);
    const QIcon icon = owner != nullptr ? owner->windowIcon() : QApplication::windowIcon();
    setWindowIcon(icon);
    const int icon_side = twips_scale(*this).x(480);
    picIcon->setPixmap(icon.pixmap(QSize(icon_side, icon_side), devicePixelRatioF()));
    lblVersion->setText(gstrVersion);
    lblTitle->setText(kApplicationTitle);

    fix_dialog_size(*this, 4680, 2595);
    describe_controls(*this);
}

void frmAbout::build_controls() {
    const TwipsScale twips = twips_scale(*this);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumSize(QSize(twips.x(1260), twips.y(345)));
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    picIcon = make_label(QStringLiteral("picIcon"), this);
    picIcon->setFixedSize(QSize(twips.x(540), twips.y(540)));
    picIcon->setAlignment(Qt::AlignCenter);

    lblTitle = make_label(QStringLiteral("lblTitle"), this);
    QFont title_font = lblTitle->font();
    title_font.setBold(true);
    if (title_font.pointSizeF() > 0) {
        // Designed as 9.75 points beside the other labels' 8.25.
        title_font.setPointSizeF(title_font.pointSizeF() * 9.75 / 8.25);
    }
    lblTitle->setFont(title_font);

    lblVersion = make_label(QStringLiteral("lblVersion"), this);

    lblDescription = make_label(QStringLiteral("lblDescription"), this);
    lblDescription->setText(QStringLiteral(
        "This application converts your Orvella Report files to a HTML file format which is "
        "viewable and printable from Word 2000 and Internet Explorer 5."));
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lblLink = make_label(QStringLiteral("lblLink"), this);
    lblLink->setText(kVendorSite);
    lblLink->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    set_link_underlined(false);
    apply_colours();

    // The etched line above the button.
    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);

    // Moving over the link underlines it; the background and the description
    // take the underline off again; the other controls leave it as it is.
    setMouseTracking(true);
    for (QLabel* label : {lblLink, lblDescription}) {
        label->setMouseTracking(true);
        label->installEventFilter(this);
    }

    auto* texts = new QVBoxLayout;
    texts->setSpacing(twips.y(15));
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(twips.y(120));
    texts->addWidget(lblDescription);
    texts->addWidget(lblLink, 0, Qt::AlignLeft);

    auto* top = new QHBoxLayout;
    top->setSpacing(twips.x(60));
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(twips.x(120), twips.y(120), twips.x(60), twips.y(90));
    layout->setSpacing(twips.y(105));
    layout->addLayout(top, 1);
    layout->addWidget(Line1);
    layout->addLayout(buttons);

    cmdOK->setFocus();
}

void frmAbout::apply_colours() {
    // Black title and description and a blue link, or their dark-scheme
    // counterparts; the version keeps the default label colour.
    if (lblLink == nullptr) {
        return;  // not built yet
    }
    const QPalette& scheme = palette();
    set_text_colour(*lblTitle, label_text_colour(scheme));
    set_text_colour(*lblDescription, label_text_colour(scheme));
    set_text_colour(*lblLink, link_colour(scheme));
}

void frmAbout::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        apply_colours();
    }
}

void frmAbout::set_link_underlined(bool underlined) {
    QFont font = lblLink->font();
    if (font.underline() != underlined) {
        font.setUnderline(underlined);
        lblLink->setFont(font);
    }
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblLink) {
        switch (event->type()) {
            case QEvent::MouseMove:
                set_link_underlined(true);
                return true;
            case QEvent::MouseButtonPress:
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    link_pressed_ = true;
                    return true;
                }
                break;
            case QEvent::MouseButtonRelease: {
                const auto* mouse = static_cast<QMouseEvent*>(event);
                if (mouse->button() == Qt::LeftButton && link_pressed_) {
                    link_pressed_ = false;
                    if (lblLink->rect().contains(mouse->position().toPoint())) {
                        lblLink_Click();
                    }
                    return true;
                }
                break;
            }
            default:
                break;
        }
    } else if (watched == lblDescription && event->type() == QEvent::MouseMove) {
        set_link_underlined(false);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::mouseMoveEvent(QMouseEvent* event) {
    // Moves over the other controls may reach the dialog too; only the
    // background (the separator line is drawn on it) takes the underline off.
    QWidget* under = childAt(event->position().toPoint());
    if (under == nullptr || under == Line1) {
        set_link_underlined(false);
    }
    QDialog::mouseMoveEvent(event);
}

void frmAbout::lblLink_Click() {
    // A new browser window each time; the about box stays open.
    browser_.open(QUrl(kVendorSite));
}

}  // namespace quillet
