#pragma once
// The desktop program as a whole: one running instance per user, to which later starts hand
// their command lines; the splash window while the main window is made; the main window's life.

namespace cvx {

class CitavoxApp {
public:
    // Runs the program and returns its exit code: 0 also for a start that handed its command
    // line to the running instance.
    static int Run(int argc, char** argv);
};

} // namespace cvx
