// The file log output: time-stamped lines in a text file in the start
// directory, each on disk when WriteLine returns.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

class CwFileLog : public CLog {
public:
    // Opens `name` in the start directory (theStartDirectory), or in the
    // current directory while there is none, creating it anew: an existing
    // file is emptied. When it cannot be opened the user is told once and
    // the output writes nothing.
    explicit CwFileLog(const char* name);
    ~CwFileLog() override;
    CwFileLog(const CwFileLog&) = delete;
    CwFileLog& operator=(const CwFileLog&) = delete;

    bool Clear() override;
    void WriteResourceLine(unsigned stringId) override;
    void WriteLine(const char* text) override;

    const char* GetPath() const { return path_; }
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    char path_[256] = {};
    HANDLE file_ = INVALID_HANDLE_VALUE;
};
