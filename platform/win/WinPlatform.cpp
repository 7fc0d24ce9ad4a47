#include "platform/win/WinPlatform.h"

#include <memory>
#include <new>

#include "platform/win/WinFileLog.h"

CWinPlatform::CWinPlatform() { Attach(serial_, auxTimer_, generalTimer_, commTimer_); }

CLog* CWinPlatform::MakeLog(int kind)
{
    if (kind != kPrimaryLog)
        return nullptr;
    return new (std::nothrow) CwFileLog("cvErrlog.txt");
}

CPlatform* GetPlatform()
{
    // Owns the platform until the process ends; its destruction closes a
    // port that is still open.
    static std::unique_ptr<CWinPlatform> holder;
    if (!holder)
        holder.reset(new (std::nothrow) CWinPlatform);
    return holder.get();
}
