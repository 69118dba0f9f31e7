#include "user_prompts.h"

#include <QApplication>
#include <QMessageBox>

namespace quillet {

namespace {

// A question asked in the middle of a busy command shows the normal pointer.
class NormalPointer {
public:
    NormalPointer() : active_(QApplication::overrideCursor() != nullptr) {
        if (active_) {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        }
    }
    ~NormalPointer() {
        if (active_) {
            QApplication::restoreOverrideCursor();
        }
    }
    NormalPointer(const NormalPointer&) = delete;
    NormalPointer& operator=(const NormalPointer&) = delete;

private:
    bool active_;
};

}  // namespace

void MessageBoxPrompts::information(QWidget* owner, const QString& title, const QString& text) {
    NormalPointer pointer;
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, owner);
    box.exec();
}

void MessageBoxPrompts::warning(QWidget* owner, const QString& title, const QString& text) {
    NormalPointer pointer;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
    box.exec();
}

bool MessageBoxPrompts::question(QWidget* owner, const QString& title, const QString& text) {
    NormalPointer pointer;
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

bool PromptedOverwriteQuestion::ask(const QString& title, const QString& text) {
    return prompts_.question(owner_, title, text);
}

}  // namespace quillet
