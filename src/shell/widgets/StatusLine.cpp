#include "shell/widgets/StatusLine.h"

#include "shell/widgets/DialogSeams.h"
#include "text/widgets/QtText.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace cvx {

namespace {

QProgressBar* NewBar(QWidget* parent, const QString& name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, Progress::kMaximum);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setMaximumWidth(160);
    bar->setAccessibleName(name);
    return bar;
}

} // namespace

StatusLine::StatusLine(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusLine"));
    setAccessibleName(UiText(msg::MainWindow::StatusLine));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    BuildLane(0, "B", 66);
    BuildLane(1, "C", 67);
    BuildLane(2, "D", 68);
    for (const Lane& lane : lanes_) {
        layout->addWidget(lane.row);
    }
    auto* bottom = new QWidget(this);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    generalPanel_ = new QLabel(bottom);
    generalPanel_->setObjectName(QStringLiteral("M_MsgPanelA1"));
    generalPanel_->setTextFormat(Qt::PlainText);
    generalPanel_->setMinimumWidth(100);
    generalBar_ = NewBar(bottom, QStringLiteral("M_ProgressBarA"));
    generalBar_->setVisible(false);
    running_ = new QLabel(bottom);
    running_->setObjectName(QStringLiteral("ThreadCountsRunning"));
    running_->setVisible(false);
    row->addWidget(generalPanel_, 1);
    row->addWidget(generalBar_);
    row->addWidget(running_);
    layout->addWidget(bottom);
}

StatusLine::~StatusLine() {
    AbortAndWait();
    // Ends that never reached the main thread: their threads are over, their results unwanted.
    for (Lane& lane : lanes_) {
        delete lane.thread;
    }
}

void StatusLine::BuildLane(int index, const char* suffix, int tag) {
    Lane& lane = lanes_[static_cast<std::size_t>(index)];
    const QString s = QString::fromLatin1(suffix);
    lane.row = new QWidget(this);
    lane.row->setObjectName(QStringLiteral("Panel4Msg_") + s);
    lane.row->setAccessibleName(UiText(msg::MainWindow::LaneName, std::to_string(index + 1)));
    lane.row->setVisible(false);
    auto* row = new QHBoxLayout(lane.row);
    row->setContentsMargins(0, 0, 0, 0);
    lane.first = new QLabel(lane.row);
    lane.first->setObjectName(QStringLiteral("M_MsgPanel%11").arg(s));
    lane.first->setTextFormat(Qt::PlainText);
    lane.first->setMinimumWidth(180);
    lane.second = new QLabel(lane.row);
    lane.second->setObjectName(QStringLiteral("M_MsgPanel%12").arg(s));
    lane.second->setTextFormat(Qt::PlainText);
    lane.bar = NewBar(lane.row, QStringLiteral("M_ProgressBar") + s);
    lane.abort = new QPushButton(UiText(msg::MainWindow::Abort), lane.row);
    lane.abort->setObjectName(QStringLiteral("BTN_Abort_") + s);
    lane.abort->setToolTip(UiText(msg::MainWindow::AbortHint));
    lane.abort->setProperty("tag", tag);
    lane.progress = new LaneProgress(this);
    connect(lane.progress, &LaneProgress::StatusChanged, lane.first, &QLabel::setText);
    connect(lane.progress, &LaneProgress::DetailChanged, lane.second, &QLabel::setText);
    connect(lane.progress, &LaneProgress::ProgressChanged, lane.bar, &QProgressBar::setValue);
    connect(lane.abort, &QPushButton::clicked, this, [this, index] { AskAbort(index); });
    row->addWidget(lane.first);
    row->addWidget(lane.second, 1);
    row->addWidget(lane.bar);
    row->addWidget(lane.abort);
}

void StatusLine::ShowText(const QString& text) {
    generalPanel_->setText(text);
}

QString StatusLine::Text() const {
    return generalPanel_->text();
}

void StatusLine::GeneralReport::SetStatus(std::string_view text) {
    line_.ShowText(MessageText(text));
}

void StatusLine::GeneralReport::SetProgress(int permille) {
    line_.generalBar_->setValue(permille);
    line_.generalBar_->setVisible(permille > 0);
}

bool StatusLine::Run(Operation operation) {
    const std::optional<int> free = table_.TryStart();
    if (!free) {
        ShowMessage(window(), MessageKind::Information, UiText(msg::Threads::ThreadsBusy));
        return false;
    }
    Lane& lane = lanes_[static_cast<std::size_t>(*free)];
    lane.kind = operation.kind;
    lane.progress->Restart();
    lane.first->setText(operation.text);
    lane.second->clear();
    lane.bar->setValue(0);
    lane.abort->setEnabled(operation.abortable);
    lane.row->setVisible(true);
    auto result = std::make_shared<Outcome>();
    LaneProgress* progress = lane.progress;
    lane.thread = QThread::create(
        [work = std::move(operation.work), progress, result] { *result = work(*progress); });
    connect(lane.thread, &QThread::finished, this,
            [this, index = *free, result, finished = std::move(operation.finished)] {
                Ended(index, result, finished);
            });
    lane.thread->start();
    UpdateRunningCount();
    emit OperationsChanged();
    return true;
}

void StatusLine::Ended(int index, const std::shared_ptr<Outcome>& result,
                       const std::function<void(const Outcome&)>& finished) {
    Lane& lane = lanes_[static_cast<std::size_t>(index)];
    lane.thread->deleteLater();
    lane.thread = nullptr;
    lane.bar->setValue(0);
    lane.row->setVisible(false);
    table_.End(index);
    UpdateRunningCount();
    if (finished) {
        finished(*result);
    }
    emit OperationsChanged();
}

void StatusLine::AskAbort(int index) {
    Lane& lane = lanes_[static_cast<std::size_t>(index)];
    if (lane.thread == nullptr) {
        return;
    }
    const QMessageBox::StandardButton answer =
        ShowMessage(window(), MessageKind::Question,
                    UiText(msg::Threads::AbortThreadQuestion, Message(lane.kind)),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
    if (answer == QMessageBox::Yes && lane.thread != nullptr) {
        lane.progress->RequestAbort();
    }
}

void StatusLine::AbortAndWait() {
    for (Lane& lane : lanes_) {
        if (lane.thread != nullptr) {
            lane.progress->RequestAbort();
            lane.thread->wait();
        }
    }
}

void StatusLine::UpdateRunningCount() {
    const int running = table_.Running();
    running_->setText(UiText(msg::MainWindow::RunningOperations, std::to_string(running)));
    running_->setVisible(running > 0);
}

} // namespace cvx
