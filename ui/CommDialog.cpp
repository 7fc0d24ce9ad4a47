#include "ui/CommDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "app/MessageBox.h"
#include "ui/CommText.h"
#include "ui/DialogLayout.h"

namespace {

const std::vector<std::string> kPortEntries = {"COMM1", "COMM2"};

// Typing stops at the longest text the dialog accepts; a longer text put in
// by the program stays, and OK refuses it.
class CMaxCharsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return input.size() <= kCommTextMax ? Acceptable : Invalid;
    }
};

}  // namespace

CCommDialog::CCommDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Communication Settings"));
    const QString caption = QStringLiteral("Comm Port");
    const DialogBaseUnits base = SetUpTemplate(this, 8, 181, 47, {{caption, 36}});
    auto* label = new QLabel(caption, this);
    PlaceDlu(label, {13, 17, 36, 8}, base);
    combo_ = new QComboBox(this);
    combo_->setObjectName(QStringLiteral("combo1069"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& entry : kPortEntries)
        combo_->addItem(QString::fromStdString(entry));
    combo_->lineEdit()->setValidator(new CMaxCharsValidator(combo_));
    PlaceDlu(combo_, {52, 15, 56, 14}, base);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    PlaceDlu(ok, {124, 7, 50, 14}, base);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    PlaceDlu(cancel, {124, 25, 50, 14}, base);
    connect(ok, &QPushButton::clicked, this, &CCommDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CCommDialog::reject);
}

void CCommDialog::showEvent(QShowEvent* event)
{
    const int entry = FindEntryWithPrefix(kPortEntries, portText.toStdString());
    if (entry >= 0)
        combo_->setCurrentIndex(entry);
    else
        combo_->setEditText(portText);
    QDialog::showEvent(event);
}

void CCommDialog::accept()
{
    const QString text = combo_->currentText();
    if (text.size() > kCommTextMax) {
        AppMessageBox("Please enter no more than " + std::to_string(kCommTextMax) + " characters.",
                      MbIcon::Warning);
        combo_->setFocus();
        return;
    }
    portText = text;
    QDialog::accept();
}
