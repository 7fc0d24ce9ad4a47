// The far end of the null-modem cable that the test runner puts between COM5
// and COM6: plain Win32 calls on COM6, independent of the port under test.
#pragma once

#include <windows.h>

#include <vector>

class CFarEnd {
public:
    CFarEnd();
    ~CFarEnd();
    CFarEnd(const CFarEnd&) = delete;
    CFarEnd& operator=(const CFarEnd&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Send(const std::vector<unsigned char>& bytes);
    // What arrives within `waitMs` (until `count` bytes are in).
    std::vector<unsigned char> Receive(size_t count, unsigned waitMs = 2000);
    // Gives the cable time to carry what was sent.
    static void Settle() { Sleep(50); }

private:
    HANDLE handle_;
};
