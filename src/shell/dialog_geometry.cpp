#include "dialog_geometry.h"

#include <QDialog>
#include <QLayout>
#include <algorithm>

namespace quillet {

TwipsScale twips_scale(const QWidget& widget) {
    return {static_cast<double>(widget.logicalDpiX()), static_cast<double>(widget.logicalDpiY())};
}

void fix_dialog_size(QDialog& dialog, double width_twips, double height_twips) {
    const TwipsScale twips = twips_scale(dialog);
    int width = twips.x(width_twips);
    int height = twips.y(height_twips);
    if (QLayout* layout = dialog.layout()) {
        layout->activate();
        width = std::max(width, layout->totalMinimumSize().width());
        const int needed = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                       : layout->totalSizeHint().height();
        height = std::max(height, needed);
    }
    dialog.setSizeGripEnabled(false);
    dialog.setFixedSize(width, height);
}

}  // namespace quillet
