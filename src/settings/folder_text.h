// Folder values are plain text that ends with the platform's separator.
#pragma once

#include <QString>

#include "sys_vars.h"

namespace quillet {

// path with the separator appended when it does not end with one ("" becomes it).
inline QString with_separator(QString path) {
    const QChar separator = folder_separator();
    if (!path.endsWith(separator)) {
        path += separator;
    }
    return path;
}

}  // namespace quillet
