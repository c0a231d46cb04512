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

#include <algorithm>

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
    BuildDualLane();
    for (const Lane& lane : lanes_) {
        layout->addWidget(lane.row);
    }
    layout->addWidget(dual_.row);
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
    delete dual_.thread;
}

void StatusLine::BuildLane(int index, const char* suffix, int tag) {
    Lane& lane = lanes_[static_cast<std::size_t>(index)];
    const QString s = QString::fromLatin1(suffix);
    QHBoxLayout* row =
        BuildPanels(lane, QStringLiteral("Panel4Msg_") + s,
                    UiText(msg::MainWindow::LaneName, std::to_string(index + 1)),
                    QStringLiteral("M_MsgPanel%11").arg(s), QStringLiteral("M_MsgPanel%12").arg(s));
    lane.bar = NewBar(lane.row, QStringLiteral("M_ProgressBar") + s);
    lane.abort = NewAbortButton(lane.row, QStringLiteral("BTN_Abort_") + s, tag);
    connect(lane.progress, &LaneProgress::StatusChanged, lane.first, &QLabel::setText);
    connect(lane.progress, &LaneProgress::ProgressChanged, lane.bar, &QProgressBar::setValue);
    row->addWidget(lane.bar);
    row->addWidget(lane.abort);
}

QHBoxLayout* StatusLine::BuildPanels(Lane& lane, const QString& rowName,
                                     const QString& accessibleName, const QString& firstName,
                                     const QString& secondName) {
    lane.row = new QWidget(this);
    lane.row->setObjectName(rowName);
    lane.row->setAccessibleName(accessibleName);
    lane.row->setVisible(false);
    auto* row = new QHBoxLayout(lane.row);
    row->setContentsMargins(0, 0, 0, 0);
    lane.first = new QLabel(lane.row);
    lane.first->setObjectName(firstName);
    lane.first->setTextFormat(Qt::PlainText);
    lane.first->setMinimumWidth(180);
    lane.second = new QLabel(lane.row);
    lane.second->setObjectName(secondName);
    lane.second->setTextFormat(Qt::PlainText);
    lane.progress = new LaneProgress(this);
    connect(lane.progress, &LaneProgress::DetailChanged, lane.second, &QLabel::setText);
    row->addWidget(lane.first);
    row->addWidget(lane.second, 1);
    return row;
}

// The dual lane: the file being indexed with the build's status, the words processed so far, the
// build's progress on the top bar and the queue's on the bottom one.
void StatusLine::BuildDualLane() {
    Lane& lane = dual_;
    QHBoxLayout* row = BuildPanels(
        lane, QStringLiteral("PanelMsg_Dual"), UiText(msg::MainWindow::IndexingLaneName),
        QStringLiteral("M_MsgPanelFile"), QStringLiteral("M_MsgPanelWord"));
    auto* bars = new QVBoxLayout;
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(1);
    lane.bar = NewBar(lane.row, QStringLiteral("ProgressBarTop"));
    dualQueueBar_ = NewBar(lane.row, QStringLiteral("ProgressBarBottom"));
    for (QProgressBar* bar : {lane.bar, dualQueueBar_}) {
        bar->setMaximumHeight(std::max(6, fontMetrics().height() / 2));
        bars->addWidget(bar);
    }
    lane.abort = NewAbortButton(lane.row, QStringLiteral("BTN_Abort_Dual"), -1);
    connect(lane.progress, &LaneProgress::StatusChanged, this, [this](const QString& status) {
        dual_.first->setText(
            UiText(msg::MainWindow::IndexingStatus, PathArgument(dualFile_), ToCp1252(status)));
    });
    connect(lane.progress, &LaneProgress::ProgressChanged, lane.bar, &QProgressBar::setValue);
    row->addLayout(bars);
    row->addWidget(lane.abort);
}

QPushButton* StatusLine::NewAbortButton(QWidget* parent, const QString& name, int tag) {
    auto* button = new QPushButton(UiText(msg::MainWindow::Abort), parent);
    button->setObjectName(name);
    button->setToolTip(UiText(msg::MainWindow::AbortHint));
    button->setProperty("tag", tag);
    connect(button, &QPushButton::clicked, this, &StatusLine::AbortClicked);
    return button;
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
    Start(lanes_[static_cast<std::size_t>(*free)], std::move(operation),
          [this, index = *free] { table_.End(index); });
    return true;
}

bool StatusLine::RunDual(Operation operation, int queuePermille) {
    if (dual_.thread != nullptr) {
        return false;
    }
    dualFile_ = operation.text;
    dualQueueBar_->setValue(queuePermille);
    dual_.second->clear();
    Start(dual_, std::move(operation), [] {});
    // The file's name stands in the panel until the build reports its first status.
    dual_.first->setText(dualFile_);
    return true;
}

void StatusLine::Start(Lane& lane, Operation operation, const std::function<void()>& release) {
    lane.kind = operation.kind;
    lane.progress->Restart();
    lane.first->setText(operation.text);
    lane.first->setVisible(!operation.text.isEmpty());
    lane.second->clear();
    lane.bar->setValue(0);
    lane.abort->setEnabled(operation.abortable);
    lane.row->setVisible(true);
    auto result = std::make_shared<Outcome>();
    LaneProgress* progress = lane.progress;
    lane.thread = QThread::create(
        [work = std::move(operation.work), progress, result] { *result = work(*progress); });
    connect(lane.thread, &QThread::finished, this,
            [this, &lane, result, finished = std::move(operation.finished), release] {
                Ended(lane, result, finished, release);
            });
    lane.thread->start();
    UpdateRunningCount();
    emit OperationsChanged();
}

void StatusLine::Ended(Lane& lane, const std::shared_ptr<Outcome>& result,
                       const std::function<void(const Outcome&)>& finished,
                       const std::function<void()>& release) {
    lane.thread->deleteLater();
    lane.thread = nullptr;
    lane.bar->setValue(0);
    lane.row->setVisible(false);
    release();
    UpdateRunningCount();
    if (finished) {
        finished(*result);
    }
    emit OperationsChanged();
}

void StatusLine::AbortClicked() {
    const int tag = sender() == nullptr ? 0 : sender()->property("tag").toInt();
    if (tag == -1) {
        AskAbort(dual_);
    } else if (tag >= 66 && tag < 66 + LaneTable::kLanes) {
        AskAbort(lanes_[static_cast<std::size_t>(tag - 66)]);
    }
}

// The operation goes on while the user is asked; it stops at its next look at the abort flag.
void StatusLine::AskAbort(Lane& lane) {
    const std::string kind = lane.thread != nullptr ? Message(lane.kind) : std::string();
    const QMessageBox::StandardButton answer = ShowMessage(
        window(), MessageKind::Question, UiText(msg::Threads::AbortThreadQuestion, kind),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
    if (answer == QMessageBox::Yes && lane.thread != nullptr) {
        lane.progress->RequestAbort();
    }
}

void StatusLine::AbortAndWait() {
    auto stop = [](Lane& lane) {
        if (lane.thread != nullptr) {
            lane.progress->RequestAbort();
            lane.thread->wait();
        }
    };
    for (Lane& lane : lanes_) {
        stop(lane);
    }
    stop(dual_);
}

void StatusLine::UpdateRunningCount() {
    const int running = table_.Running() + (dual_.thread != nullptr ? 1 : 0);
    running_->setText(UiText(msg::MainWindow::RunningOperations, std::to_string(running)));
    running_->setVisible(running > 0);
}

} // namespace cvx
