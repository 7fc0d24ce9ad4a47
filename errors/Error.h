// Error objects raised by every layer below the user interface.
//
// Errors are thrown by value and caught as `const CError&`; a catch site reads
// GetText() and GetCode() and tells the kinds apart by their run-time type.
#pragma once

#include <cstdarg>
#include <cstddef>

// Longest text an error carries, not counting the terminating NUL. Longer
// expansions are cut at this length.
inline constexpr std::size_t kErrorTextMax = 511;

class CError {
public:
    virtual ~CError() = default;
    virtual int GetCode() const = 0;
    // Copies the text with its NUL into `buffer` (at least 512 bytes) and
    // returns the number of bytes copied, the NUL included.
    virtual unsigned CopyText(char* buffer) const = 0;
    virtual const char* GetText() const = 0;
    // Shows the text in the application message box; returns the answer.
    virtual int ShowError() const = 0;
};

// The text and code that each kind of error carries. Not an error itself:
// the three kinds below derive directly from CError and hold one of these.
class CErrorText {
public:
    // Stores the code; the text is `format` expanded with `args`, or
    // `fallback` when `format` is null.
    CErrorText(int code, const char* fallback, const char* format, va_list args);
    // Stores the code with an empty text; the kinds below start here and
    // then take the expanded text once their argument list is open.
    explicit CErrorText(int code);
    int Code() const { return code_; }
    const char* Text() const { return text_; }
    unsigned CopyTo(char* buffer) const;

private:
    char text_[kErrorTextMax + 1];
    int code_;
};

#if defined(__GNUC__)
#define CORVANE_PRINTF(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define CORVANE_PRINTF(fmt, first)
#endif

// A failure of the kit's own machinery: a timer that cannot be had, an
// impossible time-out, a port that cannot be opened.
class CGenError : public CError {
public:
    CGenError(int code, const char* format = nullptr, ...) CORVANE_PRINTF(3, 4);
    int GetCode() const override { return data_.Code(); }
    unsigned CopyText(char* buffer) const override { return data_.CopyTo(buffer); }
    const char* GetText() const override { return data_.Text(); }
    int ShowError() const override;

private:
    CErrorText data_;
};

// A failure of the serial port or the line.
class CCommError : public CError {
public:
    CCommError(int code, const char* format = nullptr, ...) CORVANE_PRINTF(3, 4);
    int GetCode() const override { return data_.Code(); }
    unsigned CopyText(char* buffer) const override { return data_.CopyTo(buffer); }
    const char* GetText() const override { return data_.Text(); }
    int ShowError() const override;

private:
    CErrorText data_;
};

// A failure of the SBEP protocol. Codes: 1 NAK, 2 unsupported opcode,
// 3 not the expected reply, 4 checksum error, 5 time-out or port failure.
class CSbepError : public CError {
public:
    CSbepError(int code, const char* format = nullptr, ...) CORVANE_PRINTF(3, 4);
    int GetCode() const override { return data_.Code(); }
    unsigned CopyText(char* buffer) const override { return data_.CopyTo(buffer); }
    const char* GetText() const override { return data_.Text(); }
    int ShowError() const override;

private:
    CErrorText data_;
};
