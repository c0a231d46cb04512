#pragma once
// The main window's status line: the general panel with its progress bar, three lanes in which
// long operations run on worker threads, each with its two panels, its progress bar and its abort
// button, and the dual lane of index creation, whose second bar shows how far its queue of files
// has come. An operation's result comes back on the main thread.

#include "shell/LaneTable.h"
#include "shell/widgets/LaneProgress.h"
#include "text/Catalogue.h"
#include "text/Outcome.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

namespace cvx {

class StatusLine : public QWidget {
    Q_OBJECT
public:
    struct Operation {
        MsgId kind = msg::Threads::Listing; // its name for the abort question ("listing")
        QString text; // the lane's first panel while it runs; the panel is hidden when empty
        bool abortable = true;
        std::function<Outcome(Progress&)> work;       // on a worker thread
        std::function<void(const Outcome&)> finished; // on the main thread
    };

    explicit StatusLine(QWidget* parent = nullptr);
    ~StatusLine() override;

    // The general panel: hints and one-line results.
    void ShowText(const QString& text);
    QString Text() const;
    // Reports of short operations that run on the main thread: the general panel and its bar.
    Progress& GeneralProgress() { return general_; }

    // Runs an operation in a free lane. When three run already the user is told so and false is
    // returned; nothing runs.
    bool Run(Operation operation);
    int Running() const { return table_.Running(); }

    // Runs the index creation in the dual lane, beside the three others; false while one runs
    // there already. `queuePermille` is how far the queue of files has come.
    bool RunDual(Operation operation, int queuePermille);
    bool DualRunning() const { return dual_.thread != nullptr; }
    // The program is closing: every operation is asked to stop and its thread awaited. Their
    // handlers run when the main thread next processes its events.
    void AbortAndWait();

signals:
    // An operation started or ended (the command state depends on it).
    void OperationsChanged();

private:
    struct Lane {
        QWidget* row = nullptr;
        QLabel* first = nullptr;
        QLabel* second = nullptr;
        QProgressBar* bar = nullptr;
        QPushButton* abort = nullptr;
        LaneProgress* progress = nullptr;
        QThread* thread = nullptr;
        MsgId kind = msg::Threads::Listing;
    };

    // The general panel's Progress: the main thread reports directly.
    class GeneralReport : public Progress {
    public:
        explicit GeneralReport(StatusLine& line) : line_(line) {}
        void SetStatus(std::string_view text) override;
        void SetProgress(int permille) override;

    private:
        StatusLine& line_;
    };

    void BuildLane(int index, const char* suffix, int tag);
    void BuildDualLane();
    // A lane's row, hidden until an operation runs in it, with its two panels and its progress
    // (whose detail the second panel shows); the row's layout takes the bars and the button.
    QHBoxLayout* BuildPanels(Lane& lane, const QString& rowName, const QString& accessibleName,
                             const QString& firstName, const QString& secondName);
    QPushButton* NewAbortButton(QWidget* parent, const QString& name, int tag);
    // The abort buttons share one handler, which knows the lane by the button's tag: 66, 67 and
    // 68 for the three lanes, -1 for the dual lane; 0 does nothing.
    void AbortClicked();
    void AskAbort(Lane& lane);
    void Start(Lane& lane, Operation operation, const std::function<void()>& release);
    void Ended(Lane& lane, const std::shared_ptr<Outcome>& result,
               const std::function<void(const Outcome&)>& finished,
               const std::function<void()>& release);
    void UpdateRunningCount();

    std::array<Lane, LaneTable::kLanes> lanes_;
    Lane dual_;
    QProgressBar* dualQueueBar_ = nullptr; // ProgressBarBottom
    QString dualFile_;                     // the file being indexed, as the dual lane names it
    LaneTable table_;
    QLabel* generalPanel_ = nullptr;
    QProgressBar* generalBar_ = nullptr;
    QLabel* running_ = nullptr;
    GeneralReport general_{*this};
};

} // namespace cvx
