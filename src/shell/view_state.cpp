#include "view_state.h"

#include <QSettings>
#include <QStringList>
#include <cmath>

namespace quillet {

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kSortKey = QStringLiteral("Sort Key");
const QString kSortAscending = QStringLiteral("Sort Ascending");
const QString kColumnWidths = QStringLiteral("Column Widths");
const QString kPreview = QStringLiteral("Preview");
const QString kSplitter = QStringLiteral("Preview Splitter");

constexpr double kLargestTwips = 1.0e7;

std::optional<int> read_whole(QSettings& store, const QString& key) {
    bool ok = false;
    const int value = read_setting(store, kSection, key, QString()).trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Comma-separated widths; nothing unless every one is a width.
QList<double> read_widths(QSettings& store, const QString& key, qsizetype at_most) {
    const QStringList texts =
        read_setting(store, kSection, key, QString()).split(QLatin1Char(','), Qt::SkipEmptyParts);
    QList<double> widths;
    for (const QString& text : texts) {
        bool ok = false;
        const double width = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(width) || width <= 0 || width > kLargestTwips) {
            return {};
        }
        widths << width;
    }
    return widths.size() <= at_most ? widths : QList<double>{};
}

QString widths_text(const QList<double>& widths) {
    QStringList texts;
    for (const double width : widths) {
        texts << QString::number(std::llround(width));
    }
    return texts.join(QLatin1Char(','));
}

}  // namespace

ViewState read_view_state(QSettings& store) {
    ViewState state;
    if (const auto key = read_whole(store, kSortKey); key && *key >= 0 && *key <= 3) {
        state.sort.gintSortKey = static_cast<std::int16_t>(*key);
    }
    if (const auto ascending = read_whole(store, kSortAscending);
        ascending && (*ascending == 0 || *ascending == 1)) {
        state.sort.gblnSortAscending = *ascending != 0;
    }
    state.column_widths = read_widths(store, kColumnWidths, 6);
    state.preview = read_whole(store, kPreview).value_or(0) == 1;
    state.splitter = read_widths(store, kSplitter, 2);
    if (state.splitter.size() != 2) {
        state.splitter.clear();
    }
    return state;
}

void write_view_state(QSettings& store, const ViewState& state) {
    // Only what differs from the design is kept, so a window used as designed
    // leaves the settings file as it found it.
    const ViewState designed;
    auto keep = [&store](const QString& key, bool differs, const QString& value) {
        if (differs) {
            write_setting(store, kSection, key, value);
        } else {
            delete_setting(store, kSection, key);
        }
    };
    keep(kSortKey, state.sort.gintSortKey != designed.sort.gintSortKey,
         QString::number(state.sort.gintSortKey));
    keep(kSortAscending, state.sort.gblnSortAscending != designed.sort.gblnSortAscending,
         QString::number(state.sort.gblnSortAscending ? 1 : 0));
    keep(kColumnWidths, !state.column_widths.isEmpty(), widths_text(state.column_widths));
    keep(kPreview, state.preview, QStringLiteral("1"));
    keep(kSplitter, state.splitter.size() == 2, widths_text(state.splitter));
}

}  // namespace quillet
