#include "platform/posix/PosixFileLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "res/StringTable.h"

namespace {

// "mm/dd/yy hh:mm:ss  " in local time; empty when the time cannot be had.
std::string TimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[64];
    if (localtime_r(&now, &local) == nullptr ||
        std::strftime(stamp, sizeof stamp, "%m/%d/%y %H:%M:%S  ", &local) == 0)
        return {};
    return stamp;
}

void WriteAll(int fd, const std::string& data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // a log never raises; the line is lost
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

CPosixFileLog::CPosixFileLog(const char* name)
{
    if (!theStartDirectory.empty())
        path_ = theStartDirectory + "/";
    path_ += name;
    // Appending: after Clear the next line starts at the beginning again.
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0)
        AppMessageBox("Unable to open Log file for writing", MbIcon::None, MbButtons::Ok);
}

CPosixFileLog::~CPosixFileLog()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool CPosixFileLog::Clear()
{
    if (fd_ >= 0) {
        const int result = ::ftruncate(fd_, 0);  // a log never raises
        (void)result;
    }
    return true;
}

void CPosixFileLog::WriteResourceLine(unsigned stringId)
{
    if (const char* text = FindResString(stringId))
        WriteLine(text);
}

// The whole line goes out in one unbuffered write, so it is in the file
// (and visible to other programs) when this returns.
void CPosixFileLog::WriteLine(const char* text)
{
    if (!IsStarted() || fd_ < 0 || text == nullptr)
        return;
    WriteAll(fd_, TimeStamp() + text + "\r\n");
}
