#include "errors/Error.h"

#include <cstdio>
#include <cstring>

#include "app/MessageBox.h"

namespace {

const char kNoGenText[] = "No error message text was received";
const char kNoText[] = "No error message was received";

const char* GenFallback(int code)
{
    switch (code) {
    case 1: return "Unable to allocate timer object";
    case 2: return "Unable to allocate serial comm object";
    case 3: return "General operation error occured";
    default: return kNoGenText;
    }
}

// Copies `text` into `buffer` (kErrorTextMax + 1 bytes), cut at kErrorTextMax.
void CopyCut(char* buffer, const char* text)
{
    std::size_t length = std::strlen(text);
    if (length > kErrorTextMax) length = kErrorTextMax;
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

int ShowInAppBox(const char* text, MbIcon icon)
{
    return static_cast<int>(AppMessageBox(text, icon, MbButtons::Ok));
}

}  // namespace

CErrorText::CErrorText(int code) : code_(code) { text_[0] = '\0'; }

CErrorText::CErrorText(int code, const char* fallback, const char* format, va_list args)
    : code_(code)
{
    if (format == nullptr) {
        CopyCut(text_, fallback);
        return;
    }
    // vsnprintf never writes past the buffer and cuts a longer expansion at
    // kErrorTextMax characters, always with the NUL.
    if (std::vsnprintf(text_, sizeof text_, format, args) < 0) CopyCut(text_, fallback);
}

unsigned CErrorText::CopyTo(char* buffer) const
{
    const std::size_t bytes = std::strlen(text_) + 1;
    std::memcpy(buffer, text_, bytes);
    return static_cast<unsigned>(bytes);
}

// Each kind opens its argument list in its own constructor, which is the only
// place where that can be done.
#define CORVANE_ERROR_TEXT(fallback)                              \
    do {                                                          \
        va_list args;                                             \
        va_start(args, format);                                   \
        data_ = CErrorText(code, (fallback), format, args);      \
        va_end(args);                                             \
    } while (false)

CGenError::CGenError(int code, const char* format, ...) : data_(code)
{
    CORVANE_ERROR_TEXT(GenFallback(code));
}

CCommError::CCommError(int code, const char* format, ...) : data_(code)
{
    CORVANE_ERROR_TEXT(kNoText);
}

CSbepError::CSbepError(int code, const char* format, ...) : data_(code)
{
    CORVANE_ERROR_TEXT(kNoText);
}

#undef CORVANE_ERROR_TEXT

int CGenError::ShowError() const { return ShowInAppBox(GetText(), MbIcon::Warning); }

// No icon of their own: the application message box gives them its default.
int CCommError::ShowError() const { return ShowInAppBox(GetText(), MbIcon::None); }

int CSbepError::ShowError() const { return ShowInAppBox(GetText(), MbIcon::None); }
