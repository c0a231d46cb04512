#pragma once
// The splash window: the program's name and versions with a progress panel while the program
// starts or reopens the files of the last run; without the panel it is the about window.

#include <QDialog>

class QLabel;
class QProgressBar;

namespace cvx {

class SplashForm : public QDialog {
    Q_OBJECT
public:
    enum class Mode {
        Starting,     // "Loading Citavox..."
        LoadingFiles, // "Loading files..."
        About,        // no progress panel; closed by the user
    };

    explicit SplashForm(Mode mode, QWidget* parent = nullptr);

    // Moves the bar on by `percent` and paints it at once: the event loop may not be running.
    void Step(int percent);

private:
    QProgressBar* bar_ = nullptr;
};

} // namespace cvx
