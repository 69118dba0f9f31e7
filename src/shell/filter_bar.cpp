#include "filter_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

#include "report_filter.h"

namespace quillet {

FilterBar::FilterBar(ReportFilter& filter, QStatusBar& status, QWidget* parent)
    : QWidget(parent), filter_(filter) {
    setObjectName(QStringLiteral("filterBar"));
    auto* label = new QLabel(QStringLiteral("F&ind:"), this);
    box_ = new QLineEdit(this);
    box_->setObjectName(QStringLiteral("filterBox"));
    box_->setPlaceholderText(QStringLiteral("Student number, report name or comment"));
    box_->setClearButtonEnabled(true);
    box_->installEventFilter(this);
    label->setBuddy(box_);
    search_ = new QCheckBox(QStringLiteral("Search &text"), this);
    search_->setObjectName(QStringLiteral("searchTextChoice"));
    search_->setToolTip(QStringLiteral("Search the text of every document (Ctrl+Shift+F)"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 2);
    row->addWidget(label);
    row->addWidget(box_, 1);
    row->addWidget(search_);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("filterCount"));
    count_->hide();
    status.addWidget(count_);

    connect(box_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!searching()) {
            filter_.set_filter_text(text);
            update_count();
        }
    });
    connect(search_, &QCheckBox::toggled, this, [this](bool on) {
        box_->setPlaceholderText(
            on ? QStringLiteral("Words in the documents, \"a phrase\", assess*, OR, NOT")
               : QStringLiteral("Student number, report name or comment"));
        filter_.set_filter_text(on ? QString() : box_->text());
        update_count();
    });
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&filter_, signal, this, &FilterBar::update_count);
    }
    connect(&filter_, &QAbstractItemModel::modelReset, this, &FilterBar::update_count);
    connect(&filter_, &QAbstractItemModel::layoutChanged, this, &FilterBar::update_count);
    hide();
}

void FilterBar::open() {
    show();
    box_->setFocus(Qt::ShortcutFocusReason);
    box_->selectAll();
}

bool FilterBar::searching() const {
    return search_->isChecked();
}

void FilterBar::update_count() {
    if (!filter_.filtering()) {
        count_->hide();
        return;
    }
    const int total = filter_.sourceModel() != nullptr ? filter_.sourceModel()->rowCount() : 0;
    count_->setText(QStringLiteral("%1 of %2 documents").arg(filter_.rowCount()).arg(total));
    count_->show();
}

bool FilterBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (box_->text().isEmpty()) {
            hide();
            Q_EMIT closed();
        } else {
            box_->clear();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quillet
