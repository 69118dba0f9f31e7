// How the user left the main window's view, kept in the section "Settings"
// of the settings store beside the placement: the sort choice, the widths of
// the list view's columns, the preview and its splitter. Every value falls
// back to the window as designed when its key is absent or unreadable.
#pragma once

#include <QList>
#include <algorithm>
#include <optional>

#include "sys_vars.h"

class QSettings;

namespace quillet {

struct ViewState {
    SortChoice sort;
    QList<double> column_widths;  // twips, list view, all but the last column; empty: designed
    bool preview = false;
    QList<double> splitter;  // twips: grid, preview; empty: half and half

    bool operator==(const ViewState& other) const {
        // std::ranges::equal rather than QList's operator==, which hands an
        // empty list's null data to memcmp.
        return sort.gintSortKey == other.sort.gintSortKey &&
               sort.gblnSortAscending == other.sort.gblnSortAscending &&
               std::ranges::equal(column_widths, other.column_widths) &&
               preview == other.preview && std::ranges::equal(splitter, other.splitter);
    }
};

ViewState read_view_state(QSettings& store);
void write_view_state(QSettings& store, const ViewState& state);

}  // namespace quillet
