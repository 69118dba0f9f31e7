// Follows the desktop's light or dark preference where the palette the
// platform hands the program does not: desktops that announce the preference
// only through the XDG desktop portal ("color-scheme" of
// "org.freedesktop.appearance"), which Qt reads itself from version 6.5 on.
// A dark preference on a light palette switches to the Fusion style with a
// dark palette; a light one switches back to what the program had.
#pragma once

#include <QObject>
#include <QPalette>
#include <QString>

class QDBusMessage;

namespace quillet {

enum class DesktopScheme { no_preference, dark, light };

class DesktopColourScheme final : public QObject {
    Q_OBJECT
public:
    // Asks the portal for the preference (without waiting for its answer)
    // and follows its changes; with no session bus it does nothing.
    explicit DesktopColourScheme(QObject* parent = nullptr);

    void apply(DesktopScheme scheme);
    bool switched_to_dark() const { return switched_; }

    // The portal's value: 1 prefers dark, 2 prefers light, 0 has no preference.
    static DesktopScheme from_portal_value(uint value);

private Q_SLOTS:
    void setting_changed(const QDBusMessage& change);

private:
    bool switched_ = false;
    QString original_style_;
};

}  // namespace quillet
