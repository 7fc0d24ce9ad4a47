#include "errors/ErrorLog.h"

#include <cstdio>

#include "app/ProcessObjects.h"
#include "platform/Platform.h"

namespace {
// A formatted line holds at most 511 characters; a dump at most 511 bytes
// (1022 digits). Longer texts and dumps are cut to fit.
constexpr std::size_t kLineBuffer = 512;
constexpr std::size_t kHexBuffer = 1024;
}  // namespace

CErrorLog::CErrorLog() = default;

CErrorLog::~CErrorLog() { DropOutputs(); }

void CErrorLog::DropOutputs()
{
    delete secondary_;
    secondary_ = nullptr;
    delete primary_;
    primary_ = nullptr;
}

void CErrorLog::SetPrimaryOutput(unsigned char on) { primaryOn_ = on; }

void CErrorLog::MakeOutputs()
{
    if (primary_ != nullptr || thePlatform == nullptr)
        return;
    primary_ = thePlatform->MakeLog(kPrimaryLog);
    if (primary_ != nullptr)
        primary_->StartLogging();
    if (secondary_ == nullptr) {
        secondary_ = thePlatform->MakeLog(kSecondaryLog);
        if (secondary_ != nullptr)
            secondary_->StartLogging();
    }
}

void CErrorLog::Write(const char* text)
{
    if (primaryOn_ == 1 && primary_ != nullptr)
        primary_->WriteLine(text);
    if (secondaryOn_ == 1 && secondary_ != nullptr)
        secondary_->WriteLine(text);
}

void CErrorLog::Log(const char* format, ...)
{
    if (format == nullptr)
        return;
    char line[kLineBuffer];
    va_list args;
    va_start(args, format);
    if (std::vsnprintf(line, sizeof line, format, args) < 0)
        line[0] = '\0';
    va_end(args);
    MakeOutputs();
    Write(line);
}

void CErrorLog::LogHex(const unsigned char* data, unsigned length)
{
    MakeOutputs();
    static const char digits[] = "0123456789ABCDEF";
    char text[kHexBuffer];
    unsigned shown = length < (kHexBuffer - 1) / 2 ? length : (kHexBuffer - 1) / 2;
    if (data == nullptr)
        shown = 0;
    for (unsigned i = 0; i < shown; ++i) {
        text[2 * i] = digits[data[i] >> 4];
        text[2 * i + 1] = digits[data[i] & 0x0F];
    }
    text[2 * shown] = '\0';
    Write(text);
}
