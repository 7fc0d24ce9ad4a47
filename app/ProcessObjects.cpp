// Definitions of the process-wide objects, in their order of construction.
// Keep them together: within one translation unit C++ builds them in the
// order written here and destroys them in the reverse order.
#include "app/ProcessObjects.h"

std::string theAppName;
std::string theStartDirectory;
CCorvaneApp theApp;
CPlatform* thePlatform = GetPlatform();
CErrorLog theErrorLog;

CScopedPlatform::CScopedPlatform(CPlatform* platform) : saved_(thePlatform)
{
    theErrorLog.DropOutputs();
    thePlatform = platform;
}

CScopedPlatform::~CScopedPlatform()
{
    theErrorLog.DropOutputs();
    thePlatform = saved_;
}
