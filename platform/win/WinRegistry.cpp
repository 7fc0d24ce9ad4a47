// Settings in the Windows registry. Every open and create asks for all
// access; created keys are volatile unless asked otherwise, so that they and
// their values last until Windows restarts.
#include <windows.h>

#include "platform/Registry.h"

namespace {

HKEY RootKey(RegRoot root) { return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

HKEY Handle(void* key) { return static_cast<HKEY>(key); }

}  // namespace

CRegistry::CRegistry(RegRoot root) : root_(root) {}

CRegistry::~CRegistry() { CloseKey(); }

bool CRegistry::KeyExists(RegRoot root, const std::string& path)
{
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (result == ERROR_SUCCESS)
        RegCloseKey(key);
    return RecordOpen(result);
}

bool CRegistry::CreateKey(RegRoot root, const std::string& path, RegKeyLife life)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    const DWORD options = life == RegKeyLife::Volatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
    const LONG result = RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                                        &key, &disposition);
    if (result == ERROR_SUCCESS)
        RegCloseKey(key);
    return RecordOpen(result);
}

bool CRegistry::OpenKey(RegRoot root, const std::string& path)
{
    CloseKey();
    root_ = root;
    path_ = path;
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (result == ERROR_SUCCESS)
        key_ = key;
    return RecordOpen(result);
}

void CRegistry::CloseKey()
{
    if (key_ != nullptr)
        RegCloseKey(Handle(key_));
    key_ = nullptr;
}

long CRegistry::WriteDword(const char* name, unsigned value)
{
    if (key_ == nullptr)
        return kRegInvalidHandle;
    const DWORD data = value;
    return RegSetValueExA(Handle(key_), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

// A value of fewer than 4 bytes fills the low bytes of a zero DWORD.
bool CRegistry::ReadDword(const char* name, int& value)
{
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    if (key_ == nullptr) {
        lastResult_ = kRegInvalidHandle;
        lastType_ = kRegTypeNone;
        lastSize_ = 0;
        return false;
    }
    lastResult_ = RegQueryValueExA(Handle(key_), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    lastType_ = type;
    lastSize_ = size;
    if (lastResult_ != ERROR_SUCCESS)
        return false;
    value = static_cast<int>(data);
    return true;
}
