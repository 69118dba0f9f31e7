// The program's icon, drawn from its SVG source (data/icons/quillet.svg) at
// whatever size and pixel ratio a window asks for, so that it stays sharp at
// every display scale.
#pragma once

#include <QIcon>

namespace quillet {

QIcon application_icon();

}  // namespace quillet
