// The log output to a text file: time-stamped lines, each on disk when
// WriteLine returns.
#pragma once

#include <string>

#include "platform/Platform.h"

class CPosixFileLog : public CLog {
public:
    // Makes the output for the file `name` in the start directory (the
    // current directory while none is recorded) and opens it anew, emptying
    // an existing file. When the file cannot be opened the user is told once
    // and the output writes nothing.
    explicit CPosixFileLog(const char* name);
    ~CPosixFileLog() override;
    CPosixFileLog(const CPosixFileLog&) = delete;
    CPosixFileLog& operator=(const CPosixFileLog&) = delete;

    bool Clear() override;
    void WriteResourceLine(unsigned stringId) override;
    void WriteLine(const char* text) override;

    const std::string& Path() const { return path_; }
    bool IsOpen() const { return fd_ >= 0; }

private:
    std::string path_;
    int fd_ = -1;
};
