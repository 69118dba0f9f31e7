// The program's icon is drawn at the device pixels of every display scale,
// not enlarged from a smaller picture.
#include <gtest/gtest.h>
#include <QImage>
#include <QPixmap>

#include "app_icon.h"

namespace quillet {
namespace {

// How many pixels of the picture are neither fully transparent nor fully
// opaque: an enlarged picture has wide soft edges, a drawn one thin edges.
double soft_share(const QImage& image) {
    int soft = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = image.pixelColor(x, y).alpha();
            soft += alpha > 0 && alpha < 255 ? 1 : 0;
        }
    }
    return static_cast<double>(soft) / (image.width() * image.height());
}

TEST(ApplicationIcon, IsDrawnAtTheDevicePixelsOfEachScale) {
    const QIcon icon = application_icon();
    ASSERT_FALSE(icon.isNull());
    const QImage small = icon.pixmap(QSize(16, 16), 1.0).toImage();
    for (const double scale : {1.0, 1.5, 2.0, 3.0}) {
        SCOPED_TRACE(scale);
        const QPixmap pixmap = icon.pixmap(QSize(32, 32), scale);
        const int device_side = static_cast<int>(32 * scale);
        EXPECT_EQ(pixmap.size(), QSize(device_side, device_side));
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), scale);
        const QImage drawn = pixmap.toImage();
        const QImage enlarged =
            small.scaled(drawn.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(soft_share(drawn), soft_share(enlarged));
        EXPECT_GT(drawn.pixelColor(device_side / 2, device_side / 2).alpha(), 0)
            << "the sheet of paper is there";
    }
}

}  // namespace
}  // namespace quillet
