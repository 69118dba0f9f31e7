// The overwrite question on a terminal.
#pragma once

#include "report_conversion.h"

namespace quillet::cli {

// Asks y/N on the terminal; without one every answer is No.
class TerminalQuestion final : public OverwriteQuestion {
public:
    bool ask(const QString& title, const QString& text) override;
};

bool stdin_is_terminal();
bool stderr_is_terminal();

}  // namespace quillet::cli
