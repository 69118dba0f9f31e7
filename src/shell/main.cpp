// Quillet: converts assessment reports into HTML documents.
#include "startup.h"

int main(int argc, char* argv[]) {
    return quillet::run_quillet(argc, argv);
}
