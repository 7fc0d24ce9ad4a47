// The Windows platform: owns the COM port object and three timers, lends
// them out one holder at a time, and makes the file log.
#pragma once

#include "platform/Platform.h"
#include "platform/win/WinSerial.h"
#include "platform/win/WinTimer.h"

class CWinPlatform : public CLendingPlatform {
public:
    CWinPlatform();
    // A new file log for cvErrlog.txt for kind 0; null for every other kind.
    CLog* MakeLog(int kind) override;

private:
    CWinSerial serial_;
    CWinTimer auxTimer_;
    CWinTimer generalTimer_;
    CWinTimer commTimer_;
};
