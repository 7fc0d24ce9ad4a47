// The process-wide objects. They are all defined in one translation unit, so
// that they are built in this order and destroyed in the reverse order:
//   1. the application name,
//   2. theApp,
//   3. thePlatform (from GetPlatform()),
//   4. theErrorLog.
#pragma once

#include <string>

#include "app/CorvaneApp.h"
#include "errors/ErrorLog.h"
#include "platform/Platform.h"

// The application name: empty at construction; start-up sets it to
// kApplicationName before any window or setting uses it. It names the
// registry subkey of the settings.
extern std::string theAppName;
inline constexpr const char* kApplicationName = "Corvane";

// The start directory that the active settings document recorded when it was
// made; empty while there is none. The file log is written there.
extern std::string theStartDirectory;

extern CCorvaneApp theApp;
extern CPlatform* thePlatform;
extern CErrorLog theErrorLog;

// Puts another platform in place of thePlatform for the life of the object
// (tests, the simulator). The error log drops its outputs on entry and exit,
// so that lines go to the outputs of the platform in force.
class CScopedPlatform {
public:
    explicit CScopedPlatform(CPlatform* platform);
    ~CScopedPlatform();
    CScopedPlatform(const CScopedPlatform&) = delete;
    CScopedPlatform& operator=(const CScopedPlatform&) = delete;

private:
    CPlatform* saved_;
};
