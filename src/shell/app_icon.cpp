#include "app_icon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <algorithm>
#include <memory>

namespace quillet {

namespace {

const QString kIconSource = QStringLiteral(":/icons/quillet.svg");

// Renders the drawing anew for each size asked for (in device pixels).
class SvgIconEngine final : public QIconEngine {
public:
    SvgIconEngine() : renderer_(std::make_shared<QSvgRenderer>(kIconSource)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode /*mode*/,
               QIcon::State /*state*/) override {
        renderer_->render(painter, QRectF(rect));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            painter.setRenderHint(QPainter::Antialiasing);
            paint(&painter, square_in(size), mode, state);
        }
        if (mode != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QApplication::palette();
            return QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        return picture;
    }

    QSize actualSize(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    QList<QSize> availableSizes(QIcon::Mode /*mode*/, QIcon::State /*state*/) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    }

    QString key() const override { return QStringLiteral("quillet-svg"); }
    QIconEngine* clone() const override { return new SvgIconEngine(*this); }
    bool isNull() override { return !renderer_->isValid(); }

private:
    static QRect square_in(const QSize& size) {
        const int side = std::min(size.width(), size.height());
        return {(size.width() - side) / 2, (size.height() - side) / 2, side, side};
    }

    std::shared_ptr<QSvgRenderer> renderer_;  // shared by the copies, read only
};

}  // namespace

QIcon application_icon() {
    return QIcon(new SvgIconEngine);
}

}  // namespace quillet
