// The program's icon, drawn rather than shipped as an image file.
#pragma once

#include <QIcon>

namespace quillet {

QIcon application_icon();

}  // namespace quillet
