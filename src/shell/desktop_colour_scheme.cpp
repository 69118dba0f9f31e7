#include "desktop_colour_scheme.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QStyle>
#include <QStyleFactory>

#include "colour_scheme.h"
#include "dark_style.h"

namespace quillet {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kColourScheme = QStringLiteral("color-scheme");

// The portal wraps the value in one or two variants.
uint portal_value(QVariant value) {
    while (value.canConvert<QDBusVariant>()) {
        value = qvariant_cast<QDBusVariant>(value).variant();
    }
    return value.toUInt();
}

}  // namespace

DesktopColourScheme::DesktopColourScheme(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    bus.connect(kPortalService, kPortalPath, kSettingsInterface, QStringLiteral("SettingChanged"),
                this, SLOT(setting_changed(QDBusMessage)));
    QDBusMessage read = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
                                                       kSettingsInterface, QStringLiteral("Read"));
    read << kAppearance << kColourScheme;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QVariant> reply = *call;
                if (!reply.isError()) {
                    apply(from_portal_value(portal_value(reply.value())));
                }
                call->deleteLater();
            });
}

DesktopScheme DesktopColourScheme::from_portal_value(uint value) {
    switch (value) {
        case 1:
            return DesktopScheme::dark;
        case 2:
            return DesktopScheme::light;
        default:
            return DesktopScheme::no_preference;
    }
}

void DesktopColourScheme::setting_changed(const QDBusMessage& change) {
    // The group, the key and the new value.
    const QList<QVariant> arguments = change.arguments();
    if (arguments.size() == 3 && arguments[0].toString() == kAppearance &&
        arguments[1].toString() == kColourScheme) {
        apply(from_portal_value(portal_value(arguments[2])));
    }
}

void DesktopColourScheme::apply(DesktopScheme scheme) {
    if (scheme == DesktopScheme::dark) {
        if (switched_ || is_dark(QApplication::palette())) {
            return;  // dark already, by the platform's palette or by us
        }
        original_style_ = QApplication::style()->name();
        QApplication::setStyle(make_dark_style());
        QApplication::setPalette(dark_palette());
        switched_ = true;
        return;
    }
    if (switched_) {
        QApplication::setStyle(QStyleFactory::create(original_style_));
        QApplication::setPalette(QApplication::style()->standardPalette());
        switched_ = false;
    }
}

}  // namespace quillet
