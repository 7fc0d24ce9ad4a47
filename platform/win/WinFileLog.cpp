#include "platform/win/WinFileLog.h"

#include <cstdio>
#include <string>

#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "res/StringTable.h"

namespace {

// "mm/dd/yy hh:mm:ss  " in local time.
std::string TimeStamp()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[32];
    const int length = std::snprintf(stamp, sizeof stamp, "%02u/%02u/%02u %02u:%02u:%02u  ", now.wMonth, now.wDay,
                                     now.wYear % 100u, now.wHour, now.wMinute, now.wSecond);
    return length > 0 ? std::string(stamp, static_cast<std::size_t>(length)) : std::string();
}

}  // namespace

CwFileLog::CwFileLog(const char* name)
{
    std::string path;
    if (!theStartDirectory.empty())
        path = theStartDirectory + "\\";
    path += name;
    // A directory and name too long for the path are not cut to some other
    // file's name: the file counts as one that cannot be opened.
    if (path.size() < sizeof path_) {
        path.copy(path_, path.size());
        file_ = CreateFileA(path_, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (!IsOpen()) {
        AppMessageBox("Unable to open Log file for writing", MbIcon::None, MbButtons::Ok);
        return;
    }
    SetFilePointer(file_, 0, nullptr, FILE_END);
}

CwFileLog::~CwFileLog()
{
    if (IsOpen())
        CloseHandle(file_);
}

// A log never raises: a failing write or truncation loses the line.
bool CwFileLog::Clear()
{
    if (IsOpen()) {
        SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file_);
    }
    return true;
}

void CwFileLog::WriteResourceLine(unsigned stringId)
{
    if (const char* text = FindResString(stringId))
        WriteLine(text);
}

void CwFileLog::WriteLine(const char* text)
{
    if (!IsStarted() || !IsOpen() || text == nullptr)
        return;
    const std::string line = TimeStamp() + text + "\r\n";
    DWORD written = 0;
    WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(file_);
}
