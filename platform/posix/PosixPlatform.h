// The platform of a POSIX system: one serial port and three timers lent
// under the lending rules, and the file log made on request.
#pragma once

#include "platform/Platform.h"
#include "platform/posix/PosixSerial.h"
#include "platform/posix/PosixTimer.h"

class CPosixPlatform : public CLendingPlatform {
public:
    CPosixPlatform();
    CPosixPlatform(const CPosixPlatform&) = delete;
    CPosixPlatform& operator=(const CPosixPlatform&) = delete;

    // Kind 0: a new file log for cvErrlog.txt in the start directory.
    // Every other kind: null.
    CLog* MakeLog(int kind) override;

private:
    CPosixSerial serial_;
    CPosixTimer auxTimer_;
    CPosixTimer generalTimer_;
    CPosixTimer commTimer_;
};
