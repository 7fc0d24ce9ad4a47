#include "ui/AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/ProcessObjects.h"
#include "ui/DialogLayout.h"
#include "ui/Pictures.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About"));
    const QString name = QString::fromStdString(theApp.LoadAboutTitle());
    const QString versionText = QStringLiteral("Version: D01.00.00, 20-September-2010");
    const DialogBaseUnits base =
        SetUpTemplate(this, 8, 235, 70, {{name, 125}, {versionText, 123}});
    auto* icon = new QLabel(this);
    icon->setPixmap(LoadIconResource(128).pixmap(32, 32));
    icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceDlu(icon, {9, 11, 20, 20}, base);
    icon->resize(std::max(icon->width(), 32), std::max(icon->height(), 32));
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("static1205"));
    PlaceDlu(title_, {40, 10, 125, 8}, base);
    auto* version = new QLabel(versionText, this);
    PlaceDlu(version, {40, 32, 123, 8}, base);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    PlaceDlu(ok, {172, 7, 50, 14}, base);
    connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);
    title_->setText(name);
}
