#include "app/CommSettings.h"

#include <filesystem>
#include <system_error>

#include "app/ProcessObjects.h"

CCommSettings::CCommSettings()
{
    std::error_code error;
    startDirectory_ = std::filesystem::current_path(error).string();
    theStartDirectory = startDirectory_;
    LoadSettings();
}

CCommSettings::~CCommSettings()
{
    if (theStartDirectory == startDirectory_)
        theStartDirectory.clear();
}

std::string CCommSettings::KeyPath() { return "SOFTWARE\\Halvorn\\" + theAppName; }

void CCommSettings::LoadSettings()
{
    const std::string path = KeyPath();
    if (!registry_.KeyExists(RegRoot::LocalMachine, path)) {
        registry_.CreateKey(RegRoot::LocalMachine, path);
        registry_.OpenKey(RegRoot::LocalMachine, path);
        registry_.WriteDword(kPortIdValue, 1);
        registry_.WriteDword(kRibEchoValue, 1);
        registry_.CloseKey();
    }
    registry_.OpenKey(RegRoot::LocalMachine, path);
    int value = ribEchoType;
    if (registry_.ReadDword(kRibEchoValue, value))
        ribEchoType = static_cast<unsigned char>(value & 0xFF);
    registry_.ReadDword(kPortIdValue, portId);
    registry_.CloseKey();
}

void CCommSettings::SaveSettings()
{
    if (registry_.OpenKey(RegRoot::LocalMachine, KeyPath())) {
        registry_.WriteDword(kPortIdValue, static_cast<unsigned>(portId));
        registry_.WriteDword(kRibEchoValue, ribEchoType);
    }
    registry_.CloseKey();
}
