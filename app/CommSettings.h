// The communication settings of the kit: the COM port number and whether the
// radio interface box (RIB) echoes what the PC sends, kept in the settings
// store under "SOFTWARE\Halvorn\<application name>" as the DWORD values
// "Port ID" and "RIB Echo Type". Also the directory the program started in.
//
// The desktop kit's document holds one for its whole life: loaded when it is
// made, saved when it is closed. Nothing here is ever reported to the user:
// a store that cannot be read leaves the defaults, COM1 with echo.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Registry.h"

inline constexpr const char* kPortIdValue = "Port ID";
inline constexpr const char* kRibEchoValue = "RIB Echo Type";

class CCommSettings {
public:
    // Records the current directory as the start directory, publishes it as
    // theStartDirectory, and loads the settings.
    CCommSettings();
    // Withdraws the start directory it published.
    virtual ~CCommSettings();
    CCommSettings(const CCommSettings&) = delete;
    CCommSettings& operator=(const CCommSettings&) = delete;

    // "SOFTWARE\Halvorn\" followed by the application name.
    static std::string KeyPath();

    // Creates the key with the defaults when it does not exist, then reads
    // both values; a value that cannot be read keeps what was there.
    void LoadSettings();
    // Writes both values into the existing key; failures are ignored.
    void SaveSettings();

    const std::string& StartDirectory() const { return startDirectory_; }
    // Only 1 means echo.
    bool EchoOn() const { return ribEchoType == 1; }

    std::int32_t portId = 1;
    unsigned char ribEchoType = 1;

private:
    std::string startDirectory_;
    CRegistry registry_{RegRoot::LocalMachine};
};
