// The program's title and version text.
#pragma once

#include <QString>

#include "quillet_version.h"

namespace quillet {

inline const QString kApplicationTitle = QStringLiteral("Quillet");
// The vendor web site the about box links to.
inline const QString kVendorSite = QStringLiteral(QUILLET_HOMEPAGE);
// The desktop entry (without ".desktop") that starts this program.
inline const QString kDesktopFileName = QStringLiteral(QUILLET_APP_ID);

// "Version " + major + "." + minor, then "." + revision when it is not 0.
QString make_version_text(int major, int minor, int revision);

// The version text of this build, made at start-up.
extern QString gstrVersion;

}  // namespace quillet
