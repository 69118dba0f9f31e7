#include "placement.h"

#include <QSettings>
#include <algorithm>
#include <cmath>
#include <optional>

#include "sys_vars.h"

namespace quillet {

namespace {

const QString kSection = QStringLiteral("Settings");

// Whole numbers only ever reach pixels; anything beyond this is not a placement.
constexpr double kLargestTwips = 1.0e9;

std::optional<double> read_number(QSettings& store, const QString& key) {
    const QString text = read_setting(store, kSection, key, QString()).trimmed();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > kLargestTwips) {
        return std::nullopt;
    }
    return value;
}

QString number_text(double twips) {
    return QString::number(static_cast<qint64>(std::llround(twips)));
}

}  // namespace

Placement read_placement(QSettings& store, const Placement& current) {
    Placement placement = current;
    placement.top = read_number(store, QStringLiteral("Top")).value_or(current.top);
    placement.left = read_number(store, QStringLiteral("Left")).value_or(current.left);
    placement.height = read_number(store, QStringLiteral("Height")).value_or(current.height);
    placement.width = read_number(store, QStringLiteral("Width")).value_or(current.width);
    if (const auto state = read_number(store, QStringLiteral("WindowState"))) {
        switch (std::lround(*state)) {
            case 1:
                placement.state = WindowShow::minimized;
                break;
            case 2:
                placement.state = WindowShow::maximized;
                break;
            default:
                placement.state = WindowShow::normal;
                break;
        }
    }
    return placement;
}

void write_placement(QSettings& store, const Placement& placement) {
    write_setting(store, kSection, QStringLiteral("Top"), number_text(placement.top));
    write_setting(store, kSection, QStringLiteral("Left"), number_text(placement.left));
    write_setting(store, kSection, QStringLiteral("Height"), number_text(placement.height));
    write_setting(store, kSection, QStringLiteral("width"), number_text(placement.width));
    write_setting(store, kSection, QStringLiteral("WindowState"),
                  QString::number(static_cast<int>(placement.state)));
}

FittedPlacement fit_placement(const Placement& stored, QSizeF designed, QRectF screen) {
    FittedPlacement fitted{stored, stored.state == WindowShow::maximized};
    Placement& p = fitted.placement;
    p.state = WindowShow::normal;

    if (p.width > screen.width() || p.height > screen.height()) {
        p.width = designed.width();
        p.height = designed.height();
    }
    if (p.top > screen.bottom() || p.left > screen.right() || p.top < screen.top() ||
        p.left < screen.left()) {
        p.top = screen.top() + (screen.height() - p.height) / 2;
        p.left = screen.left() + (screen.width() - p.width) / 2;
    }
    // A corner on the screen is not enough (a placement saved at another
    // scale): the far edges come onto it too, title bar first.
    p.left = std::max(screen.left(), std::min(p.left, screen.right() - p.width));
    p.top = std::max(screen.top(), std::min(p.top, screen.bottom() - p.height));
    return fitted;
}

}  // namespace quillet
