#include "search/widgets/TagDlg.h"

#include "refstore/ReferenceFile.h"
#include "search/IndexState.h"
#include "search/SearchExpression.h"
#include "settings/SettingsStore.h"
#include "text/widgets/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace cvx {

namespace {

// A label that inserts its operator when clicked; a disabled label takes no clicks.
class OperatorLabel : public QLabel {
public:
    OperatorLabel(const QString& text, std::function<void()> clicked, QWidget* parent)
        : QLabel(text, parent), clicked_(std::move(clicked)) {
        // Drawn as links, so that they read as something to click.
        setForegroundRole(QPalette::Link);
        setCursor(Qt::PointingHandCursor);
        setToolTip(UiText(msg::SearchDialog::OperatorHint));
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            clicked_();
        }
    }

private:
    std::function<void()> clicked_;
};

struct OperatorInfo {
    const char* name;
    MsgId caption;
    const char* inserted;
};

// By number - 1: the connectives and set words (1..5), the field operators (6..14, field codes
// 4..12 in that order), the list quantifiers and NOT (15..18) and NEAR (19).
constexpr std::array<OperatorInfo, 19> kOperators = {{
    {"Label13", msg::SearchDialog::AndLabel, " AND "},
    {"Label14", msg::SearchDialog::OrLabel, " OR "},
    {"Label15", msg::SearchDialog::XorLabel, " XOR "},
    {"Label21", msg::SearchDialog::TaggedLabel, " TAGGED "},
    {"Label22", msg::SearchDialog::LocatedLabel, " LOCATED "},
    {"Label3", msg::SearchDialog::IdLabel, " ID() "},
    {"Label4", msg::SearchDialog::AuLabel, " AU() "},
    {"Label5", msg::SearchDialog::TiLabel, " TI() "},
    {"Label7", msg::SearchDialog::YvpLabel, " YVP() "},
    {"Label6", msg::SearchDialog::SoLabel, " SO() "},
    {"Label8", msg::SearchDialog::EdLabel, " ED() "},
    {"Label9", msg::SearchDialog::PuLabel, " PU() "},
    {"Label10", msg::SearchDialog::CiLabel, " CI() "},
    {"Label11", msg::SearchDialog::AbLabel, " AB() "},
    {"Label16", msg::SearchDialog::NotLabel, " NOT() "},
    {"Label17", msg::SearchDialog::AnyLabel, " ANY() "},
    {"Label18", msg::SearchDialog::AllLabel, " ALL() "},
    {"Label19", msg::SearchDialog::NoneLabel, " NONE() "},
    {"LABEL_Near", msg::SearchDialog::NearLabel, " NEAR( , , xx) "},
}};

constexpr int kLastConnective = 3;
constexpr int kFirstField = 6;
constexpr int kLastField = 14;
constexpr int kNear = 19;
// NEAR( , , xx) leaves the cursor where its first word goes.
constexpr int kNearCaretFromEnd = 8;
constexpr int kMaxHistoryEntries = 21;

int FieldOfLabel(int number) {
    return number - 2;
}

bool HasNear(const QString& text) {
    return text.startsWith(QLatin1String("NEAR(")) || text.contains(QLatin1String(" NEAR("));
}

// The text with an operator put in at the caret, and the caret after it.
struct Insertion {
    QString text;
    int caret = 0;
    bool refused = false; // a connective cannot begin an expression
};

// Connectives and TAGGED/LOCATED go between words: at the end, after a blank, or (the set words)
// at the start; never into a word.
Insertion InsertConnective(int number, const QString& text, int caret, const QString& inserted) {
    const QString bare = QString(inserted).remove(0, 1);
    if (caret == 0) {
        if (number <= kLastConnective) {
            return {text, caret, true};
        }
        return {bare + text, static_cast<int>(bare.size())};
    }
    if (caret == text.size()) {
        return {text + inserted, static_cast<int>(text.size() + inserted.size())};
    }
    if (text.at(caret - 1) == QLatin1Char(' ')) {
        return {QString(text).insert(caret, bare), caret + static_cast<int>(bare.size())};
    }
    return {text, caret};
}

// A field operator, quantifier or NOT encloses the word the caret is in, or opens at the end or
// at the start with the caret inside its parentheses.
Insertion InsertEnclosing(const QString& text, int caret, const QString& inserted) {
    const QString bare = QString(inserted).remove(0, 1);
    if (caret == 0) {
        return {bare + text, static_cast<int>(bare.indexOf(QLatin1Char('('))) + 1};
    }
    if (text.at(caret - 1) == QLatin1Char(' ')) {
        if (caret == text.size()) {
            return {text + inserted, static_cast<int>(text.size() + inserted.size())};
        }
        return {text, caret};
    }
    const int start = static_cast<int>(text.lastIndexOf(QLatin1Char(' '), caret - 1)) + 1;
    int end = static_cast<int>(text.indexOf(QLatin1Char(' '), caret));
    if (end < 0) {
        end = static_cast<int>(text.size());
    }
    const QString name = bare.left(bare.indexOf(QLatin1Char('(')) + 1);
    const QString enclosed = name + text.mid(start, end - start) + QLatin1Char(')');
    return {text.left(start) + enclosed + text.mid(end), start + static_cast<int>(enclosed.size())};
}

Insertion InsertOperator(int number, const QString& text, int caret) {
    const QString inserted =
        QString::fromLatin1(kOperators[static_cast<std::size_t>(number - 1)].inserted);
    if (number < kFirstField) {
        return InsertConnective(number, text, caret, inserted);
    }
    if (number < kNear) {
        return InsertEnclosing(text, caret, inserted);
    }
    if (caret != text.size()) {
        return {text, caret};
    }
    const QString result = text + inserted;
    return {result, static_cast<int>(result.size()) - kNearCaretFromEnd};
}

QToolButton* NewButton(QWidget* parent, const char* name, MsgId caption) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(UiText(caption));
    button->setToolTip(button->text());
    button->setEnabled(false);
    return button;
}

} // namespace

TagDlg::TagDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TTagDlg"));
    setWindowTitle(UiText(msg::RefWin::TagReferences));
    auto* layout = new QVBoxLayout(this);

    auto* caption = new QLabel(UiText(msg::SearchDialog::ExpressionCaption), this);
    expressions_ = new QComboBox(this);
    expressions_->setObjectName(QStringLiteral("ListBox1"));
    expressions_->setEditable(true);
    expressions_->setInsertPolicy(QComboBox::NoInsert);
    expressions_->setMaxVisibleItems(kMaxHistoryEntries);
    expressions_->setMinimumContentsLength(60);
    expressions_->setAccessibleName(caption->text().remove(QLatin1Char('&')));
    caption->setBuddy(expressions_);
    expressions_->lineEdit()->installEventFilter(this);
    removeOld_ = NewButton(this, "SpeedButton1", msg::SearchDialog::RemoveOldExpression);
    reinsert_ = NewButton(this, "SpeedButton2", msg::SearchDialog::ReinsertRemoved);
    auto* row = new QHBoxLayout;
    row->addWidget(expressions_, 1);
    row->addWidget(removeOld_);
    row->addWidget(reinsert_);
    layout->addWidget(caption);
    layout->addLayout(row);

    auto* operators = new QWidget(this);
    BuildOperatorLabels(operators);
    layout->addWidget(operators);

    useIndex_ = new QCheckBox(UiText(msg::Search::UseIndexedSearch), this);
    useIndex_->setObjectName(QStringLiteral("CHECK_UseIndexSearch"));
    ignoreDiacritic_ = new QCheckBox(UiText(msg::SearchDialog::IgnoreDiacritic), this);
    ignoreDiacritic_->setObjectName(QStringLiteral("CHECK_IgnoreDiacritic"));
    layout->addWidget(useIndex_);
    layout->addWidget(ignoreDiacritic_);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("M_Message"));
    message_->setWordWrap(true);
    message_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(message_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(msg::SmallDialogs::Ok));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(msg::SmallDialogs::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(expressions_, &QComboBox::editTextChanged, this, &TagDlg::ExpressionChanged);
    connect(removeOld_, &QToolButton::clicked, this, &TagDlg::RemoveOldExpression);
    connect(reinsert_, &QToolButton::clicked, this, &TagDlg::ReinsertRemoved);
    connect(useIndex_, &QCheckBox::clicked, this, &TagDlg::UseIndexClicked);
    connect(ignoreDiacritic_, &QCheckBox::clicked, this, [](bool checked) {
        SettingsStore store;
        (void)store.WriteBool(Setting::NoDiac, checked);
    });

    const SettingsStore store;
    useIndex_->setEnabled(false);
    useIndex_->setChecked(store.ReadBool(Setting::UseIdx));
    SetIndexChecked(useIndex_->isChecked());
}

// Connectives on the left, the field operators with what they address on the right.
void TagDlg::BuildOperatorLabels(QWidget* panel) {
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* connectives = new QLabel(UiText(msg::SearchDialog::ConnectivesHeading), panel);
    heading_ = new QLabel(panel);
    heading_->setObjectName(QStringLiteral("TEXT_AvailableOperators"));
    for (QLabel* title : {connectives, heading_}) {
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
    }
    grid->addWidget(connectives, 0, 0);
    grid->addWidget(heading_, 0, 1, 1, 2);
    int leftRow = 1;
    int rightRow = 1;
    for (int number = 1; number <= static_cast<int>(kOperators.size()); ++number) {
        const OperatorInfo& info = kOperators[static_cast<std::size_t>(number - 1)];
        const QString text = UiText(info.caption);
        auto* label = new OperatorLabel(
            text.section(QLatin1Char('|'), 0, 0), [this, number] { OperatorClicked(number); },
            panel);
        label->setObjectName(QString::fromLatin1(info.name));
        operators_.push_back(label);
        if (number >= kFirstField && number <= kLastField) {
            auto* addresses = new QLabel(text.section(QLatin1Char('|'), 1), panel);
            addresses->setBuddy(label);
            grid->addWidget(label, rightRow, 1);
            grid->addWidget(addresses, rightRow++, 2);
        } else {
            grid->addWidget(label, leftRow++, 0);
        }
    }
    grid->setColumnStretch(2, 1);
}

void TagDlg::SetExpressions(const std::vector<std::string>& history) {
    expressions_->clear();
    for (const std::string& entry : history) {
        if (entry.empty() || expressions_->count() == kMaxHistoryEntries) {
            break;
        }
        expressions_->addItem(FromCp1252(entry));
    }
    expressions_->setCurrentIndex(expressions_->count() > 0 ? 0 : -1);
    if (expressions_->count() == 0) {
        expressions_->setEditText({});
    }
    removeOld_->setEnabled(expressions_->count() > 0);
    message_->clear();
}

std::vector<std::string> TagDlg::Expressions() const {
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(expressions_->count()));
    for (int i = 0; i < expressions_->count(); ++i) {
        entries.push_back(ToCp1252(expressions_->itemText(i)));
    }
    return entries;
}

void TagDlg::PrepareForFile(const TReferenceFile& file) {
    const IndexOffer offer = OfferedIndex(file);
    useIndex_->setEnabled(offer.state != 0);
    if (offer.state != 0) {
        useIndex_->setText(UiText(offer.state == 1 ? msg::Search::UseIndexedSearch
                                                   : msg::Search::UseIndexedSearchIncomplete));
        indexedFields_ = offer.fields;
    }
    SetIndexChecked(useIndex_->isChecked());
}

std::string TagDlg::Expression() const {
    return ToCp1252(expressions_->currentText());
}

// The index is used only when it is chosen and the file has one; the diacritic choice, NEAR and
// the field operators follow that, so a file without an index still offers them.
bool TagDlg::UseIndexedSearch() const {
    return useIndex_->isChecked() && useIndex_->isEnabled();
}

// OK keeps the dialog open while a Boolean expression does not compile, with the reason.
void TagDlg::done(int result) {
    if (result == QDialog::Accepted) {
        const std::string text = Expression();
        CompiledExpression compiled;
        CompileError error;
        if (IsBooleanExpression(text) && !CompileExpression(text, compiled, error)) {
            message_->setText(UiText(msg::SearchDialog::ExpressionError, Message(error.message),
                                     std::to_string(error.position + 1)));
            expressions_->setFocus();
            expressions_->lineEdit()->setCursorPosition(static_cast<int>(error.position));
            return;
        }
    }
    SettingsStore store;
    (void)store.WriteBool(Setting::UseIdx, useIndex_->isChecked());
    QDialog::done(result);
}

bool TagDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == expressions_->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TagDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    userClickedIndex_ = false;
    AdjustIndexToExpression(expressions_->currentText());
    expressions_->setFocus();
}

// An entry equal to the text is selected, so that it can be removed.
void TagDlg::ExpressionChanged(const QString& text) {
    message_->clear();
    const int found = expressions_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0 && found != expressions_->currentIndex()) {
        const int caret = expressions_->lineEdit()->cursorPosition();
        const QSignalBlocker quiet(expressions_);
        expressions_->setCurrentIndex(found);
        expressions_->lineEdit()->setCursorPosition(caret);
    }
    removeOld_->setEnabled(found >= 0);
    AdjustIndexToExpression(text);
}

// NEAR() cannot go through the index, and an expression with "!" words asks for it; the user's
// own click on the box wins.
void TagDlg::AdjustIndexToExpression(const QString& text) {
    if (!useIndex_->isEnabled() || userClickedIndex_) {
        return;
    }
    const bool nearUsed = HasNear(text);
    if (useIndex_->isChecked() && nearUsed) {
        SetIndexChecked(false);
    } else if (!useIndex_->isChecked() && !nearUsed &&
               (text.startsWith(QLatin1Char('!')) || text.contains(QLatin1String(" !")))) {
        SetIndexChecked(true);
    }
}

void TagDlg::UseIndexClicked() {
    userClickedIndex_ = true;
    SetIndexChecked(useIndex_->isChecked());
}

// Indexed search always ignores diacritics; otherwise the stored choice applies.
void TagDlg::SetIndexChecked(bool checked) {
    useIndex_->setChecked(checked);
    const bool indexed = UseIndexedSearch();
    ignoreDiacritic_->setEnabled(!indexed);
    ignoreDiacritic_->setChecked(indexed || SettingsStore().ReadBool(Setting::NoDiac));
    SetOperatorOptions();
}

void TagDlg::SetOperatorOptions() {
    const bool indexed = UseIndexedSearch();
    heading_->setText(
        UiText(indexed ? msg::Search::IndexedFields : msg::Search::AvailableFieldOperators));
    for (int number = kFirstField; number <= kLastField; ++number) {
        const bool answered = (indexedFields_ >> FieldOfLabel(number) & 1u) != 0;
        operators_[static_cast<std::size_t>(number - 1)]->setEnabled(!indexed || answered);
    }
    operators_[kNear - 1]->setEnabled(!indexed);
}

void TagDlg::OperatorClicked(int number) {
    QLineEdit* edit = expressions_->lineEdit();
    const Insertion done = InsertOperator(number, edit->text(), edit->cursorPosition());
    if (done.refused) {
        emit WarningBeep();
        return;
    }
    expressions_->setEditText(done.text);
    edit->setCursorPosition(done.caret);
    expressions_->setFocus();
}

void TagDlg::RemoveOldExpression() {
    int index = expressions_->findText(expressions_->currentText(),
                                       Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        index = expressions_->currentIndex();
    }
    if (index < 0) {
        return;
    }
    removed_.push_back(expressions_->itemText(index));
    expressions_->removeItem(index);
    if (expressions_->count() > 0) {
        expressions_->setCurrentIndex(std::min(index, expressions_->count() - 1));
        expressions_->setEditText(expressions_->itemText(expressions_->currentIndex()));
    }
    removeOld_->setEnabled(expressions_->count() > 0);
    reinsert_->setEnabled(true);
}

void TagDlg::ReinsertRemoved() {
    if (removed_.empty()) {
        return;
    }
    expressions_->addItem(removed_.back());
    removed_.pop_back();
    reinsert_->setEnabled(!removed_.empty());
}

} // namespace cvx
