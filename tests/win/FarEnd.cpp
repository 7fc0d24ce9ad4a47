#include "tests/win/FarEnd.h"

CFarEnd::CFarEnd()
    : handle_(CreateFileA("COM6", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))
{
    if (!IsOpen())
        return;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(handle_, &timeouts);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(handle_, &dcb);
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;
    dcb.fOutX = dcb.fInX = 0;
    SetCommState(handle_, &dcb);
    PurgeComm(handle_, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

CFarEnd::~CFarEnd()
{
    if (IsOpen())
        CloseHandle(handle_);
}

void CFarEnd::Send(const std::vector<unsigned char>& bytes)
{
    DWORD written = 0;
    WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::vector<unsigned char> CFarEnd::Receive(size_t count, unsigned waitMs)
{
    std::vector<unsigned char> got;
    const DWORD start = GetTickCount();
    while (got.size() < count && GetTickCount() - start < waitMs) {
        unsigned char chunk[256];
        const DWORD wanted = static_cast<DWORD>(count - got.size() < sizeof chunk ? count - got.size() : sizeof chunk);
        DWORD n = 0;
        if (ReadFile(handle_, chunk, wanted, &n, nullptr) && n > 0)
            got.insert(got.end(), chunk, chunk + n);
        else
            Sleep(1);
    }
    return got;
}
