// The comm timer, borrowed from thePlatform for one serial operation and
// given back when the operation ends, on every path, also before the
// operation raises an error.
#pragma once

#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "platform/Platform.h"

class CCommTimerLoan {
public:
    // Borrows the comm timer; raises CGenError 1 ("Unable to allocate timer
    // object") when the platform refuses it. `refusalLine`, when given, is
    // written to the error log first (one %d: `refusalValue`).
    explicit CCommTimerLoan(const char* refusalLine = nullptr, int refusalValue = 0)
        : lender_(thePlatform), timer_(lender_ != nullptr ? lender_->GetCommTimer() : nullptr)
    {
        if (timer_ != nullptr)
            return;
        if (refusalLine != nullptr)
            theErrorLog.Log(refusalLine, refusalValue);
        throw CGenError(1);
    }
    ~CCommTimerLoan() { Release(); }
    CCommTimerLoan(const CCommTimerLoan&) = delete;
    CCommTimerLoan& operator=(const CCommTimerLoan&) = delete;

    CTimerCtrl* operator->() const { return timer_; }

    // Gives the timer back now (before the operation raises an error).
    void Release()
    {
        if (timer_ != nullptr)
            lender_->ReleaseCommTimer();
        timer_ = nullptr;
    }

private:
    CPlatform* lender_;
    CTimerCtrl* timer_;
};
