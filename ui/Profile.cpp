#include "ui/Profile.h"

#include "app/ProcessObjects.h"

std::unique_ptr<QSettings> ApplicationProfile()
{
    const QString name = QString::fromStdString(theAppName.empty() ? kApplicationName : theAppName);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Halvorn"), name);
}
