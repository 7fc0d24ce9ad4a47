#include "ui/RibDialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ui/DialogLayout.h"

CRibDialog::CRibDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("RIB Setting"));
    const QString caption = QStringLiteral("Select RIB interface setting:");
    const DialogBaseUnits base = SetUpTemplate(this, 8, 184, 50, {{caption, 110}});
    auto* label = new QLabel(caption, this);
    PlaceDlu(label, {7, 7, 110, 8}, base);
    group_ = new QButtonGroup(this);
    auto* echo = new QRadioButton(QStringLiteral("Echo"), this);
    PlaceDlu(echo, {15, 19, 60, 10}, base);
    auto* noEcho = new QRadioButton(QStringLiteral("No Echo"), this);
    PlaceDlu(noEcho, {15, 32, 60, 10}, base);
    group_->addButton(echo, 0);
    group_->addButton(noEcho, 1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    PlaceDlu(ok, {127, 7, 50, 14}, base);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    PlaceDlu(cancel, {127, 25, 50, 14}, base);
    connect(ok, &QPushButton::clicked, this, &CRibDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CRibDialog::reject);
}

void CRibDialog::showEvent(QShowEvent* event)
{
    if (QAbstractButton* button = group_->button(radioIndex))
        button->setChecked(true);
    QDialog::showEvent(event);
}

void CRibDialog::accept()
{
    radioIndex = group_->checkedId();
    QDialog::accept();
}
