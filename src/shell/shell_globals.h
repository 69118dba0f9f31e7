// Program-wide values of the desktop program.
#pragma once

#include "sys_vars.h"

namespace quillet {

// The sort choice of the report list (gintSortKey, gblnSortAscending); reset
// at start-up and changed by the View menu.
extern SortChoice gSortChoice;

// Set when the splash window's timer has fired.
extern bool gblnSplashDone;

// True while the grid shows a batch in its conversion view (7 columns), false
// for the list view (5 columns). Set before the grid is set up.
extern bool gblnShowConversionColumns;

}  // namespace quillet
