#include "documents/widgets/CreatePCsForm.h"

#include "documents/PseudoCitation.h"
#include "documents/PseudoCitationSample.h"
#include "text/widgets/QtText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace cvx {

namespace {

// The options of the choices of PS_Style, in their order.
constexpr std::array<int, 6> kOptions = {kOptionNone, kOptionHide,    kOptionTextBefore,
                                         kOptionYear, kOptionAuthors, kOptionTextAfter};

constexpr std::array<MsgId, 6> kStyleCaptions = {
    MsgId(msg::CreatePCs::NormalStyle), MsgId(msg::CreatePCs::HideCitation),
    MsgId(msg::CreatePCs::TextBefore),  MsgId(msg::CreatePCs::YearOnly),
    MsgId(msg::CreatePCs::AuthorsOnly), MsgId(msg::CreatePCs::TextAfter)};

CreatePCsForm::StyleChoice ChoiceOf(int option) {
    const auto at = std::find(kOptions.begin(), kOptions.end(), option);
    return static_cast<CreatePCsForm::StyleChoice>(at - kOptions.begin());
}

} // namespace

CreatePCsForm::CreatePCsForm(int taggedCount, QWidget* parent)
    : QDialog(parent), several_(taggedCount > 1) {
    setObjectName(QStringLiteral("TCreatePCsForm"));
    setWindowTitle(UiText(msg::CreatePCs::Title));
    auto* layout = new QVBoxLayout(this);

    auto* group = new QGroupBox(UiText(msg::CreatePCs::StyleGroup), this);
    group->setObjectName(QStringLiteral("PS_Style"));
    auto* groupLayout = new QVBoxLayout(group);
    style_ = new QButtonGroup(this);
    for (std::size_t i = 0; i < kStyleCaptions.size(); ++i) {
        auto* radio = new QRadioButton(UiText(kStyleCaptions[i]), group);
        radio->setObjectName(QStringLiteral("PS_Style%1").arg(i));
        style_->addButton(radio, static_cast<int>(i));
        groupLayout->addWidget(radio);
    }
    layout->addWidget(group);

    auto* form = new QFormLayout;
    texts_ = new QComboBox(this);
    texts_->setObjectName(QStringLiteral("CB_PCTexts"));
    texts_->setEditable(true);
    texts_->setInsertPolicy(QComboBox::NoInsert);
    for (int i = static_cast<int>(msg::CreatePCs::SuggestCf);
         i <= static_cast<int>(msg::CreatePCs::SuggestTable); ++i) {
        texts_->addItem(UiText(MsgId{MsgList::CreatePCs, i}));
    }
    texts_->setEditText(QString());
    auto* textLabel = new QLabel(UiText(msg::CreatePCs::TextLabel), this);
    textLabel->setBuddy(texts_);
    form->addRow(textLabel, texts_);
    layout->addLayout(form);

    skipEnclosure_ = new QCheckBox(UiText(msg::CreatePCs::SkipEnclosure), this);
    skipEnclosure_->setObjectName(QStringLiteral("CHECK_SkipEnclosure"));
    firstInGroup_ = new QCheckBox(UiText(msg::CreatePCs::FirstInGroup), this);
    firstInGroup_->setObjectName(QStringLiteral("CHECK_FirstInGroup"));
    layout->addWidget(skipEnclosure_);
    layout->addWidget(firstInGroup_);

    auto* samples = new QFormLayout;
    sampleFormat_ = new QLabel(this);
    sampleFormat_->setObjectName(QStringLiteral("LABEL_SampleFormat"));
    sampleNumber_ = new QLabel(this);
    sampleNumber_->setObjectName(QStringLiteral("LABEL_SampleNumber"));
    samples->addRow(UiText(msg::CreatePCs::SampleAuthorYear), sampleFormat_);
    samples->addRow(UiText(msg::CreatePCs::SampleNumbered), sampleNumber_);
    layout->addLayout(samples);

    auto* buttons = new QHBoxLayout;
    auto* current = new QPushButton(UiText(msg::CreatePCs::CurrentRef), this);
    current->setObjectName(QStringLiteral("BTN_CurrentRef"));
    current->setDefault(true);
    auto* tagged =
        new QPushButton(UiText(msg::CreatePCs::TaggedRefs, std::to_string(taggedCount)), this);
    tagged->setObjectName(QStringLiteral("BTN_TaggedRefs"));
    tagged->setEnabled(taggedCount > 0);
    auto* cancel = new QPushButton(UiText(msg::SmallDialogs::Cancel), this);
    cancel->setObjectName(QStringLiteral("BTN_Cancel"));
    buttons->addStretch(1);
    buttons->addWidget(current);
    buttons->addWidget(tagged);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(current, &QPushButton::clicked, this, [this] {
        forTagged_ = false;
        accept();
    });
    connect(tagged, &QPushButton::clicked, this, [this] {
        forTagged_ = true;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(style_, &QButtonGroup::idClicked, this, &CreatePCsForm::StyleChosen);
    connect(texts_, &QComboBox::editTextChanged, this, &CreatePCsForm::TextTyped);
    connect(skipEnclosure_, &QCheckBox::toggled, this, &CreatePCsForm::UpdateSamples);
    SetStyle(Normal);
}

void CreatePCsForm::SetStyle(StyleChoice choice) {
    style_->button(choice)->setChecked(true);
    UpdateSamples();
}

// Choosing a text option with a text of the other kind puts a suggestion of the right kind in;
// any other choice takes the text away.
void CreatePCsForm::StyleChosen(int choice) {
    const std::string text = OptionText();
    settingText_ = true;
    if (choice == After && !IsTextAfter(text)) {
        texts_->setEditText(UiText(msg::CreatePCs::SuggestFig));
    } else if (choice == Before && (text.empty() || IsTextAfter(text))) {
        texts_->setEditText(UiText(msg::CreatePCs::SuggestCf));
    } else if (choice != Before && choice != After) {
        texts_->setEditText(QString());
    }
    settingText_ = false;
    style_->button(choice)->setChecked(true);
    UpdateSamples();
}

// A typed text chooses the style: one that begins with a blank, "," or ":" is written after the
// citation, any other before it, and no text means the normal style.
void CreatePCsForm::TextTyped(const QString& /*text*/) {
    if (!settingText_) {
        style_->button(ChoiceOf(OptionForText(OptionText())))->setChecked(true);
    }
    UpdateSamples();
}

void CreatePCsForm::UpdateSamples() {
    const CitationSamples samples =
        SampleCitations(Option(), OptionText(), SkipEnclosure(), several_);
    sampleFormat_->setText(FromCp1252(samples.authorYear));
    sampleNumber_->setText(FromCp1252(samples.numbered));
}

int CreatePCsForm::Option() const {
    const int choice = style_->checkedId();
    return choice < 0 ? kOptionNone : kOptions[static_cast<std::size_t>(choice)];
}

std::string CreatePCsForm::OptionText() const {
    return ToCp1252(texts_->currentText());
}

bool CreatePCsForm::FirstInGroup() const {
    return firstInGroup_->isChecked();
}

bool CreatePCsForm::SkipEnclosure() const {
    return skipEnclosure_->isChecked();
}

} // namespace cvx
