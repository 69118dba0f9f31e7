// Helpers for the dialog tests: finding controls, mouse and key events
// delivered through the window as the windowing system does, and answering a
// dialog that runs its own modal loop. (main_window_application.cpp makes the
// application object.)
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <stdexcept>
#include <string>

namespace quillet::test {

template <typename T = QWidget>
T& child(const QWidget& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (found == nullptr) {
        throw std::runtime_error("no child named " + name.toStdString());
    }
    return *found;
}

// One mouse event at point `at` of widget, handed to its window, which
// passes it on to whatever control lies under the pointer.
inline void mouse(QWidget& widget, QEvent::Type type, QPoint at,
                  Qt::MouseButton button = Qt::NoButton) {
    QWidget* window = widget.window();
    QWindow* handle = window->windowHandle();
    if (handle == nullptr) {
        throw std::runtime_error("the window is not shown");
    }
    const QPointF local(widget.mapTo(window, at));
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent event(type, local, local, QPointF(widget.mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(handle, &event);
}

inline void move_to(QWidget& widget, QPoint at) {
    mouse(widget, QEvent::MouseMove, at);
}
inline void move_to(QWidget& widget) {
    move_to(widget, widget.rect().center());
}

inline void click(QWidget& widget, QPoint at) {
    mouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton);
    mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton);
}
inline void click(QWidget& widget) {
    click(widget, widget.rect().center());
}

// A key pressed and released while window is the active one: the window
// hands it to its focus control.
inline void press_key(QWidget& window, int key) {
    QWindow* handle = window.window()->windowHandle();
    if (handle == nullptr) {
        throw std::runtime_error("the window is not shown");
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(handle, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(handle, &release);
}

// Once the event loop runs (inside the exec() of a modal dialog of type T),
// hands that dialog to action, which must close it.
template <typename T>
void on_next_modal(std::function<void(T&)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "the expected modal dialog is not open";
            return;
        }
        action(*dialog);
    });
}

}  // namespace quillet::test
