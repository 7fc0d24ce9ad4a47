// A small accessor for the system's key-value store of settings: keys named
// by a path of components joined with '\', holding 32-bit values (DWORDs).
//
// Windows keeps them in the registry. Other systems keep them in a store of
// the kit's own with the same key paths, value names and value meanings: a
// volatile key lasts until the system restarts, a persistent one for good.
//
// Results follow the registry's conventions: 0 is success, any other number
// a failure (see the kReg... codes). Open keys are closed by CloseKey or by
// the destructor; only one key is open per accessor at a time.
#pragma once

#include <string>

enum class RegRoot { LocalMachine, CurrentUser };

// Lifetime of a key that CreateKey makes.
enum class RegKeyLife { Volatile, Persistent };

// Result codes (the registry's own numbers).
enum : long {
    kRegSuccess = 0,
    kRegNotFound = 2,
    kRegAccessDenied = 5,
    kRegInvalidHandle = 6,
    kRegInvalidData = 13,
    kRegInvalidParameter = 87,
    kRegMoreData = 234,
};

// Value types.
enum : unsigned { kRegTypeNone = 0, kRegTypeDword = 4 };

class CRegistry {
public:
    explicit CRegistry(RegRoot root = RegRoot::LocalMachine);
    virtual ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // Opens the key and closes it again at once.
    bool KeyExists(RegRoot root, const std::string& path);
    // Creates the key (and the keys above it), or opens it if it exists,
    // then closes it again.
    bool CreateKey(RegRoot root, const std::string& path,
                   RegKeyLife life = RegKeyLife::Volatile);
    // Records the path and opens the key, keeping it open. An open key is
    // closed first.
    bool OpenKey(RegRoot root, const std::string& path);
    // Closes the open key, if any.
    void CloseKey();

    // Writes a DWORD value into the open key; returns the result code.
    long WriteDword(const char* name, unsigned value);
    // Reads at most 4 bytes of the value into `value`; on failure `value`
    // stays as it was. Records the result, the type and the size.
    bool ReadDword(const char* name, int& value);

    long GetLastResult() const { return lastResult_; }
    unsigned GetLastType() const { return lastType_; }
    unsigned GetLastSize() const { return lastSize_; }
    const std::string& GetPath() const { return path_; }
    RegRoot GetRoot() const { return root_; }

private:
    // Records the outcome of an open or create: the result, no type, no size.
    bool RecordOpen(long result)
    {
        lastResult_ = result;
        lastType_ = kRegTypeNone;
        lastSize_ = 0;
        return result == kRegSuccess;
    }

    long lastResult_ = kRegSuccess;
    unsigned lastType_ = kRegTypeNone;
    unsigned lastSize_ = 0;
    void* key_ = nullptr;  // the implementation's handle of the open key
    std::string path_;
    RegRoot root_;
};
