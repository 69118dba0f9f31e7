#include "shell_globals.h"

namespace quillet {

SortChoice gSortChoice;
bool gblnSplashDone = false;
bool gblnShowConversionColumns = false;

}  // namespace quillet
