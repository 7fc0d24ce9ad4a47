#include "ui/UpgradeForm.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <algorithm>

#include "ui/CorvaneDoc.h"
#include "ui/DialogLayout.h"
#include "ui/SXButton.h"

namespace {

void SetTextColour(QWidget* control, QRgb colour)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(colour));
    control->setPalette(palette);
}

QLabel* StaticText(const QString& text, QWidget* parent, const DluRect& at,
                   const DialogBaseUnits& base, QRgb colour)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    PlaceDlu(label, at, base);
    SetTextColour(label, colour);
    return label;
}

}  // namespace

CUpgradeForm::CUpgradeForm(CCorvaneDoc* document, QWidget* parent)
    : QWidget(parent), document_(document)
{
    setObjectName(QStringLiteral("upgradeForm"));
    const QString cautionText =
        QStringLiteral("Caution: Please ensure to power on the radio before click PROGRAM button.");
    const DialogBaseUnits base = SetUpTemplate(this, 10, 256, 164);
    // A form view fills the frame's client area, whatever the template's size.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // The form's background is the button-shadow grey.
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Dark));
    setPalette(palette);

    titleFrame_ = new QGroupBox(QStringLiteral("Title"), this);
    PlaceDlu(titleFrame_, {8, 7, 245, 28}, base);
    SetTextColour(titleFrame_, kFrameTextColour);
    descriptionFrame_ = new QGroupBox(QStringLiteral("Description"), this);
    descriptionFrame_->setAlignment(Qt::AlignLeft);
    PlaceDlu(descriptionFrame_, {8, 43, 245, 76}, base);
    SetTextColour(descriptionFrame_, kFrameTextColour);
    program_ = new CSXButton(QStringLiteral("Program"), this);
    program_->setObjectName(QStringLiteral("button1208"));
    PlaceDlu(program_, {8, 128, 66, 20}, base);
    connect(program_, &QPushButton::clicked, this, &CUpgradeForm::OnProgram);
    titleControl_ = StaticText(QString(), this, {14, 18, 234, 11}, base, kTextColour);
    descriptionControl_ = StaticText(QString(), this, {14, 55, 234, 59}, base, kTextColour);
    caution_ = StaticText(cautionText, this, {8, 150, 235, 12}, base, kCautionColour);
    // The caution is one line with nothing to its right: it keeps its line
    // where the font draws it wider than its control.
    caution_->setWordWrap(false);
    caution_->resize(std::max(caution_->width(), caution_->sizeHint().width()), caution_->height());
}

CUpgradeForm::~CUpgradeForm() = default;

void CUpgradeForm::UpdateControls()
{
    titleControl_->setText(titleText);
    descriptionControl_->setText(descriptionText);
}

void CUpgradeForm::ForwardQuitRequest()
{
    if (workflow_.QuitRequested())
        emit quitRequested(workflow_.QuitExitCode());
}

void CUpgradeForm::OnInitialUpdate()
{
    // Without a readable configuration the texts stay empty, the button
    // keeps its plain look and no check runs; Program still works.
    if (workflow_.ReadConfiguration(document_->StartDirectory())) {
        titleText = QString::fromStdString(workflow_.Title());
        descriptionText = QString::fromStdString(workflow_.Description());
        program_->SetImageMargin(15);
        program_->SetTextGap(1);
        program_->LoadIconImage(225, 32, 32);
        UpdateControls();
        // The checks' boxes come up over a form that already shows its texts.
        workflow_.RunStartUpChecks();
    }
    ForwardQuitRequest();
}

void CUpgradeForm::OnProgram()
{
    workflow_.OnProgram(document_->PortId(), document_->RibEchoType());
}
