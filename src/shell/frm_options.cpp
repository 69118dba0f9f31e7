#include "frm_options.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "accessibility.h"
#include "dialog_geometry.h"
#include "frm_path.h"
#include "sys_vars.h"
#include "wrapping_radio_button.h"

namespace quillet {

namespace {

// Selects the option button with that index; an index without a button (a
// value edited into the settings store by hand) leaves none selected.
void select_option(QButtonGroup& group, int index) {
    if (QAbstractButton* button = group.button(index)) {
        button->setChecked(true);
        return;
    }
    group.setExclusive(false);
    for (QAbstractButton* button : group.buttons()) {
        button->setChecked(false);
    }
    group.setExclusive(true);
}

QLabel* make_label(const QString& name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QGroupBox* make_frame(const QString& name, QWidget* parent) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(name);
    return frame;
}

QPushButton* make_button(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

frmOptions::frmOptions(cSys_vars& sys, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      sys_(sys) {
    setWindowTitle(QStringLiteral("Options"));
    if (owner != nullptr) {
        setWindowIcon(owner->windowIcon());
    }
    build_controls();
    fix_dialog_size(*this, 6855, 4425);

    if (sys_.Gen_FennickChoice() == 1) {
        sys_.pr_Set_FennickPath_to_DorrantDB();
    }
    pr_Fill_Options_Controls();
    describe_controls(*this);
}

void frmOptions::build_controls() {
    const TwipsScale twips = twips_scale(*this);
    const int inner = twips.x(120);

    // The three folder rows: a caption above a read-only box and its "..." button.
    QGroupBox* Frame1 = make_frame(QStringLiteral("Frame1"), this);
    auto* folders = new QVBoxLayout(Frame1);
    folders->setContentsMargins(inner, inner, inner, inner);
    folders->setSpacing(twips.y(45));
    auto add_folder_row = [&](const QString& label_name, const QString& caption,
                              const QString& box_name, const QString& button_name, QLineEdit*& box,
                              QPushButton*& button) {
        box = new QLineEdit(Frame1);
        box->setObjectName(box_name);
        box->setReadOnly(true);
        button = make_button(button_name, QStringLiteral("..."), Frame1);
        const int side = box->sizeHint().height();
        button->setFixedSize(
            std::max({side, twips.x(255),
                      button->fontMetrics().horizontalAdvance(button->text()) + inner}),
            side);
        auto* row = new QHBoxLayout;
        row->setSpacing(twips.x(105));
        row->addWidget(box, 1);
        row->addWidget(button);
        auto* block = new QVBoxLayout;
        block->setSpacing(0);
        block->addWidget(make_label(label_name, caption, Frame1));
        block->addLayout(row);
        folders->addLayout(block);
    };
    add_folder_row(QStringLiteral("lblPathFennick"), QStringLiteral("Fennick Folder"),
                   QStringLiteral("txtPathFennick"), QStringLiteral("cmdSetPathFennick"),
                   txtPathFennick, cmdSetPathFennick);
    add_folder_row(QStringLiteral("lblPathOrvella"), QStringLiteral("Orvella Folder"),
                   QStringLiteral("txtPathOrvella"), QStringLiteral("cmdSetPathOrvella"),
                   txtPathOrvella, cmdSetPathOrvella);
    add_folder_row(QStringLiteral("lblPathHTMLReports"), QStringLiteral("HTML Reports Folder"),
                   QStringLiteral("txtPathHTMLReports"), QStringLiteral("cmdSetPathHTMLReports"),
                   txtPathHTMLReports, cmdSetPathHTMLReports);

    // The two policies, side by side: a sentence that reads on into its options.
    auto make_policy = [&](const QString& frame_name, const QString& label_name,
                           const QString& sentence, const QString& option_name,
                           std::initializer_list<QString> captions, int option_indent,
                           QButtonGroup*& group, std::vector<QAbstractButton*>& buttons) {
        QGroupBox* frame = make_frame(frame_name, this);
        auto* layout = new QVBoxLayout(frame);
        layout->setContentsMargins(inner, inner, inner, inner);
        QLabel* label = make_label(label_name, sentence, frame);
        label->setWordWrap(true);
        layout->addWidget(label);
        group = new QButtonGroup(this);
        int index = 0;
        for (const QString& caption : captions) {
            auto* option = new WrappingRadioButton(caption, frame);
            option->setObjectName(option_name + u'(' + QString::number(index) + u')');
            group->addButton(option, index++);
            buttons.push_back(option);
            auto* row = new QHBoxLayout;
            row->setContentsMargins(option_indent, 0, 0, 0);
            row->addWidget(option);
            layout->addLayout(row);
        }
        layout->addStretch(1);
        return frame;
    };
    std::vector<QAbstractButton*> options;
    QGroupBox* fraConvert = make_policy(
        QStringLiteral("fraConvert"), QStringLiteral("lblConvert"),
        QStringLiteral("When trying to convert a report to HTML and it already exists, just "),
        QStringLiteral("optConvert"),
        {QStringLiteral("overwrite it with the new one"),
         QStringLiteral("prompt me to choose YES or NO"), QStringLiteral("do not convert it")},
        inner, optConvert, options);
    QGroupBox* fraFennickChoice = make_policy(
        QStringLiteral("fraFennickChoice"), QStringLiteral("lblFennickChoice"),
        QStringLiteral("When trying to convert a Fennick report, Quillet will use the folder that"),
        QStringLiteral("optFennickChoice"),
        {QStringLiteral("is set by you above"),
         QStringLiteral("Dorrant is currently using as the database folder")},
        0, optFennickChoice, options);

    cmdDefault = make_button(QStringLiteral("cmdDefault"), QStringLiteral("&Default All"), this);
    cmdCancel = make_button(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"), this);
    cmdOK = make_button(QStringLiteral("cmdOK"), QStringLiteral("&OK"), this);
    cmdOK->setDefault(true);
    for (QPushButton* button : {cmdDefault, cmdCancel, cmdOK}) {
        button->setMinimumSize(QSize(twips.x(1095), twips.y(375)));
    }

    connect(cmdSetPathFennick, &QPushButton::clicked, this,
            [this] { choose_folder(0, txtPathFennick); });
    connect(cmdSetPathOrvella, &QPushButton::clicked, this,
            [this] { choose_folder(1, txtPathOrvella); });
    connect(cmdSetPathHTMLReports, &QPushButton::clicked, this,
            [this] { choose_folder(2, txtPathHTMLReports); });
    connect(cmdDefault, &QPushButton::clicked, this, [this] { cmdDefault_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    auto* policies = new QHBoxLayout;
    policies->setSpacing(twips.x(105));
    policies->addWidget(fraConvert, 1);
    policies->addWidget(fraFennickChoice, 1);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(twips.x(105));
    buttons->addStretch(1);
    buttons->addWidget(cmdDefault);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdOK);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(inner, twips.y(60), inner, twips.y(90));
    layout->setSpacing(twips.y(60));
    layout->addWidget(Frame1);
    layout->addLayout(policies, 1);
    layout->addSpacing(twips.y(45));
    layout->addLayout(buttons);

    // Tab order as designed: the folder rows, the options, then the buttons.
    std::vector<QWidget*> order{txtPathFennick,    cmdSetPathFennick,  txtPathOrvella,
                                cmdSetPathOrvella, txtPathHTMLReports, cmdSetPathHTMLReports};
    order.insert(order.end(), options.begin(), options.end());
    order.insert(order.end(), {cmdDefault, cmdCancel, cmdOK});
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    txtPathFennick->setFocus();
}

void frmOptions::pr_Fill_Options_Controls() {
    txtPathFennick->setText(sys_.Path_Fennick());
    txtPathOrvella->setText(sys_.Path_Orvella());
    txtPathHTMLReports->setText(sys_.Path_HTMLReports());
    select_option(*optConvert, sys_.Gen_ConvertOption());
    select_option(*optFennickChoice, sys_.Gen_FennickChoice());
}

void frmOptions::choose_folder(std::int16_t target, QLineEdit* box) {
    gintPathTarget = target;
    frmPath chooser(sys_, this);
    chooser.exec();
    // The chooser stores a picked folder itself; show what the settings hold now.
    box->setText(target_folder(sys_, target));
}

void frmOptions::cmdDefault_Click() {
    txtPathFennick->setText(sys_.Default_Path_Fennick());
    txtPathOrvella->setText(sys_.Default_Path_Orvella());
    txtPathHTMLReports->setText(sys_.Default_Path_HTMLReports());
    select_option(*optConvert, cSys_vars::Default_Gen_ConvertOption());
    select_option(*optFennickChoice, cSys_vars::Default_Gen_FennickChoice());
}

void frmOptions::cmdOK_Click() {
    sys_.set_Path_Fennick(txtPathFennick->text());
    sys_.set_Path_Orvella(txtPathOrvella->text());
    sys_.set_Path_HTMLReports(txtPathHTMLReports->text());
    // With no option selected the stored policy stays as it is.
    if (const int chosen = optConvert->checkedId(); chosen >= 0) {
        sys_.set_Gen_ConvertOption(static_cast<std::int16_t>(chosen));
    }
    if (const int chosen = optFennickChoice->checkedId(); chosen >= 0) {
        sys_.set_Gen_FennickChoice(static_cast<std::int16_t>(chosen));
    }
    if (sys_.Gen_FennickChoice() == 1) {
        sys_.pr_Set_FennickPath_to_DorrantDB();
    }
    sys_.pr_Save_Sys_Settings();
    accept();
}

void frmOptions::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        cmdDefault->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace quillet
