// The application profile: small per-user settings of the desktop kit, kept
// under the application name.
#pragma once

#include <QSettings>
#include <memory>

std::unique_ptr<QSettings> ApplicationProfile();
