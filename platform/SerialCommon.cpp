#include "platform/SerialCommon.h"

#include <cstdint>

#include "app/ProcessObjects.h"
#include "errors/Error.h"
#include "platform/CommTimerLoan.h"

void RaiseLineErrors(unsigned errors)
{
    struct Row {
        unsigned bit;
        int code;
        const char* text;
    };
    static constexpr Row kRows[] = {
        {kLineBreak, 10, "Break detected while accessing communication port"},
        {kLineFrame, 7, "Framing error detected while accessing communication port"},
        {kLineOverrun, 8, "Overrun detected while accessing communication port"},
        {kLineParity, 6, "Parity error detected while accessing communication port"},
        {kLineRxOver, 5, "Communication port input buffer overflow"},
        {kLineTxFull, 4, "Communication port output buffer overflow"},
    };
    if (errors == 0)
        return;
    for (const Row& row : kRows) {
        if (errors & row.bit)
            throw CCommError(row.code, "%s", row.text);
    }
    throw CCommError(9, "Unknown IO error occured while accessing communication port");
}

// The steps fall on character-time boundaries counted from the start, so a
// reply that keeps trickling in is never cut off; a silence of `limit`
// character times ends the wait.
void WaitForQueuedBytes(unsigned count, unsigned timeoutMs, double byteTime,
                        const std::function<unsigned()>& inQueue)
{
    if (count == 0)
        return;
    const double charTimes = timeoutMs * 0.001 / byteTime;
    const std::uint64_t steps = charTimes < 4294967295.0 ? static_cast<std::uint64_t>(charTimes) : 0xFFFFFFFFu;
    unsigned limit = static_cast<unsigned>((steps + 1) / count);
    if (limit == 0)
        limit = 1;

    CCommTimerLoan timer("CWinSerial::WaitForBytesUnless: Allocating timer to wait for bytes %d bytes",
                         static_cast<int>(count));
    timer->SetPeriod(byteTime);
    timer->Start();

    unsigned previous = 0;
    unsigned current = 0;
    do {
        current = inQueue();
        for (unsigned k = 0; current == previous; ++k) {
            if (k >= limit) {
                timer.Release();
                theErrorLog.Log("Number of byteTime timeout = %d", static_cast<int>(limit));
                if (current == 0)
                    throw CCommError(2, "CWinSerial::WaitForBytesUnless: No data received when timeout");
                throw CCommError(3, "CWinSerial::WaitForBytesUnless: Timeout after receiving %d bytes",
                                 static_cast<int>(current));
            }
            timer->WaitPeriods(1);
            current = inQueue();
        }
        previous = current;
    } while (current < count);
}

// At 300 baud each of these bytes is one low pulse, begun by the start bit,
// 7, 6, 4, 3 or 2 bit times long, followed by ones.
bool ProbeLineAt300(CSerial& port, unsigned timeoutMs)
{
    static constexpr unsigned char kPulses[] = {0xC0, 0xE0, 0xF8, 0xFC, 0xFE};
    const unsigned saved = port.GetBaud();
    port.SetBaud(300);
    try {
        for (int attempt = 0; attempt < 3; ++attempt) {
            port.FlushInput();
            unsigned char byte = 0;
            port.Read(&byte, 1, timeoutMs);
            for (unsigned char pulse : kPulses) {
                if (byte == pulse) {
                    port.SetBaud(saved);
                    return true;
                }
            }
        }
    } catch (const CError& error) {
        try {
            port.SetBaud(saved);
        } catch (const CError&) {
            // The port is failing already; the first error is the one to tell.
        }
        theErrorLog.Log("%s", error.GetText());
        throw CGenError(3, "General Communication Error");
    }
    port.SetBaud(saved);
    return false;
}
