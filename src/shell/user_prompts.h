// The message boxes the main window shows, behind an interface so that tests
// can answer them without blocking.
#pragma once

#include <QString>

#include "report_conversion.h"

class QWidget;

namespace quillet {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // An information message with an OK button.
    virtual void information(QWidget* owner, const QString& title, const QString& text) = 0;
    // A question with Yes (the default) and No. True for Yes.
    virtual bool question(QWidget* owner, const QString& title, const QString& text) = 0;
    // A failure the user must act on, with an OK button.
    virtual void warning(QWidget* owner, const QString& title, const QString& text) {
        information(owner, title, text);
    }
};

// Modal message boxes over owner.
class MessageBoxPrompts final : public UserPrompts {
public:
    void information(QWidget* owner, const QString& title, const QString& text) override;
    bool question(QWidget* owner, const QString& title, const QString& text) override;
    void warning(QWidget* owner, const QString& title, const QString& text) override;
};

// The conversion's overwrite question, asked through prompts.
class PromptedOverwriteQuestion final : public OverwriteQuestion {
public:
    PromptedOverwriteQuestion(UserPrompts& prompts, QWidget* owner)
        : prompts_(prompts), owner_(owner) {}
    bool ask(const QString& title, const QString& text) override;

private:
    UserPrompts& prompts_;
    QWidget* owner_;
};

inline const QString kNoReportsFound = QStringLiteral(
    "Could not find any Reports in the Orvella or Fennick Folder to convert to HTML.");

}  // namespace quillet
