// The main window's placement: kept in twips in the section "Settings" of the
// settings store, checked against the screen when the window opens.
#pragma once

#include <QRectF>
#include <QSizeF>

class QSettings;

namespace quillet {

enum class WindowShow { normal = 0, minimized = 1, maximized = 2 };

// Position and size in twips, and the window state.
struct Placement {
    double top = 0;
    double left = 0;
    double height = 0;
    double width = 0;
    WindowShow state = WindowShow::normal;

    bool operator==(const Placement&) const = default;
};

// Reads "Top", "Left", "Height", "Width" and "WindowState". A key that is absent
// or holds no number keeps current's value; a state other than 0, 1 or 2 is normal.
Placement read_placement(QSettings& store, const Placement& current);

// Writes "Top", "Left", "Height", "width" and "WindowState".
void write_placement(QSettings& store, const Placement& placement);

struct FittedPlacement {
    Placement placement;  // never minimized or maximized
    bool maximize = false;
};

// Makes a stored placement fit the screen (all in twips): a minimized window
// opens normal, a maximized one is placed normal and maximized afterwards; a
// window larger than the screen gets the designed size; a window whose top-left
// corner lies off the screen is centred, and one whose far edges do is moved
// onto the screen, so that its title bar can be reached.
FittedPlacement fit_placement(const Placement& stored, QSizeF designed, QRectF screen);

}  // namespace quillet
