// citavox, the desktop program.

#include "app/CitavoxApp.h"

int main(int argc, char** argv) {
    return cvx::CitavoxApp::Run(argc, argv);
}
