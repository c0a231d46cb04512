#pragma once
// What the main-window tests share: waiting for background operations while the events flow,
// and the main window's commands by their names.

#include "shell/widgets/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

namespace cvx::test {

// Processes events until `done` holds or five seconds have passed.
template <typename Done> bool WaitFor(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

inline QAction* CommandOf(MainForm& form, const char* name) {
    auto* a = form.findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
}

// Runs a command as the menu would; it must be enabled.
inline void RunCommand(MainForm& form, const char* name) {
    QAction* a = CommandOf(form, name);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->isEnabled()) << name;
    a->trigger();
}

} // namespace cvx::test
