#include "platform/Platform.h"

void CLendingPlatform::Attach(CSerial& serial, CTimerCtrl& auxTimer, CTimerCtrl& generalTimer,
                              CTimerCtrl& commTimer)
{
    serial_ = &serial;
    auxTimer_ = &auxTimer;
    generalTimer_ = &generalTimer;
    commTimer_ = &commTimer;
}

// The two timers the kit uses are lent while their count is not above 0; the
// serial port and the auxiliary timer while their count is 0.

CTimerCtrl* CLendingPlatform::GetTimer()
{
    if (generalTimerLent_ > 0)
        return nullptr;
    ++generalTimerLent_;
    return generalTimer_;
}

CTimerCtrl* CLendingPlatform::GetCommTimer()
{
    if (commTimerLent_ > 0)
        return nullptr;
    ++commTimerLent_;
    return commTimer_;
}

CSerial* CLendingPlatform::GetSerial()
{
    if (serialLent_ != 0)
        return nullptr;
    serialLent_ = 1;
    return serial_;
}

CTimerCtrl* CLendingPlatform::GetAuxTimer()
{
    if (auxTimerLent_ != 0)
        return nullptr;
    auxTimerLent_ = 1;
    return auxTimer_;
}

void CLendingPlatform::ReleaseTimer() { --generalTimerLent_; }
void CLendingPlatform::ReleaseCommTimer() { --commTimerLent_; }
void CLendingPlatform::ReleaseAuxTimer() { --auxTimerLent_; }

void CLendingPlatform::ReleaseSerial()
{
    --serialLent_;
    serial_->ClosePort();
}
