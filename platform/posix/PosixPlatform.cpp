#include "platform/posix/PosixPlatform.h"

#include <memory>
#include <new>

#include "platform/posix/PosixFileLog.h"

CPosixPlatform::CPosixPlatform() { Attach(serial_, auxTimer_, generalTimer_, commTimer_); }

CLog* CPosixPlatform::MakeLog(int kind)
{
    if (kind != kPrimaryLog)
        return nullptr;
    return new (std::nothrow) CPosixFileLog("cvErrlog.txt");
}

CPlatform* GetPlatform()
{
    // Owns the platform until the process ends; its destruction closes a
    // port that is still open.
    static std::unique_ptr<CPosixPlatform> holder;
    if (!holder)
        holder.reset(new (std::nothrow) CPosixPlatform);
    return holder.get();
}
