// The process-wide error log: formatted lines and hexadecimal dumps, forwarded
// to up to two log outputs that the platform makes on first use.
#pragma once

#include "errors/Error.h"

class CLog;

class CErrorLog {
public:
    CErrorLog();
    virtual ~CErrorLog();
    CErrorLog(const CErrorLog&) = delete;
    CErrorLog& operator=(const CErrorLog&) = delete;

    // Formats one line (printf conventions) and writes it to the switched-on
    // outputs. A null format does nothing at all.
    void Log(const char* format, ...) CORVANE_PRINTF(2, 3);
    // Writes the bytes as one line of upper-case hex digit pairs.
    void LogHex(const unsigned char* data, unsigned length);
    void SetPrimaryOutput(unsigned char on);

    // Deletes both outputs, so that the next line asks the platform again.
    // Used when the platform is swapped (tests, tools).
    void DropOutputs();

private:
    void MakeOutputs();
    void Write(const char* text);

    unsigned char secondaryOn_ = 0;
    unsigned char primaryOn_ = 0;
    CLog* secondary_ = nullptr;
    CLog* primary_ = nullptr;
};
