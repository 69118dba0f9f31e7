#include "app_info.h"

namespace quillet {

QString gstrVersion;

QString make_version_text(int major, int minor, int revision) {
    QString text = QStringLiteral("Version %1.%2").arg(major).arg(minor);
    if (revision != 0) {
        text += QStringLiteral(".%1").arg(revision);
    }
    return text;
}

}  // namespace quillet
