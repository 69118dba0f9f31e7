// Quillet: converts assessment reports into HTML documents.
#include <QApplication>

#include "startup.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    return quillet::run_quillet(app);
}
