// Window geometry is designed and stored in twips (1/1440 inch); the screen's
// logical resolution turns them into pixels.
#pragma once

#include <QScreen>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace quillet {

inline constexpr double kTwipsPerInch = 1440.0;

class TwipsScale {
public:
    TwipsScale() = default;
    TwipsScale(double dpi_x, double dpi_y) : dpi_x_(dpi_x), dpi_y_(dpi_y) {}
    // The logical resolution of screen (96 dpi when there is none).
    static TwipsScale of(const QScreen* screen) {
        if (screen == nullptr) {
            return {};
        }
        return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
    }

    int x(double twips) const { return to_pixels(twips, dpi_x_); }
    int y(double twips) const { return to_pixels(twips, dpi_y_); }
    double twips_x(int pixels) const { return pixels * kTwipsPerInch / dpi_x_; }
    double twips_y(int pixels) const { return pixels * kTwipsPerInch / dpi_y_; }

private:
    static int to_pixels(double twips, double dpi) {
        // Stored values are untrusted: keep the result well inside int.
        const double pixels = std::clamp(twips * dpi / kTwipsPerInch, -1.0e7, 1.0e7);
        return static_cast<int>(std::lround(pixels));
    }

    double dpi_x_ = 96.0;
    double dpi_y_ = 96.0;
};

}  // namespace quillet
