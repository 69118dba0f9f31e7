#include "terminal_question.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace quillet::cli {

bool stdin_is_terminal() {
    return isatty(STDIN_FILENO) == 1;
}
bool stderr_is_terminal() {
    return isatty(STDERR_FILENO) == 1;
}

bool TerminalQuestion::ask(const QString& title, const QString& text) {
    if (!stdin_is_terminal()) {
        return false;
    }
    std::cerr << '\n'
              << title.toStdString() << ": " << text.toStdString() << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

}  // namespace quillet::cli
