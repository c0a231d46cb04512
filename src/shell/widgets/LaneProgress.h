#pragma once
// The Progress of an operation in a lane of the status line: a worker thread reports its status,
// detail and progress, and the lane's panels receive them on the main thread. Only changes travel,
// so a loop that reports every reference does not flood the main thread.

#include "text/Progress.h"

#include <QObject>
#include <QString>

#include <mutex>
#include <string>

namespace cvx {

class LaneProgress : public QObject, public Progress {
    Q_OBJECT
public:
    explicit LaneProgress(QObject* parent = nullptr) : QObject(parent) {}

    void SetStatus(std::string_view text) override;
    void SetDetail(std::string_view text) override;
    void SetProgress(int permille) override;
    // Before an operation starts: nothing reported yet, no abort asked for.
    void Restart();

signals:
    void StatusChanged(const QString& text);
    void DetailChanged(const QString& text);
    void ProgressChanged(int permille);

private:
    std::mutex mutex_;
    std::string status_;
    std::string detail_;
    int permille_ = -1;
};

} // namespace cvx
