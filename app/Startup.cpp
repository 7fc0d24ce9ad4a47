#include "app/Startup.h"

#include "app/ProcessObjects.h"

void PrepareStartup()
{
    theAppName = kApplicationName;
    theErrorLog.SetPrimaryOutput(0);
    theApp.SelectProductLine();
}

std::unique_ptr<CCommSettings> StartKit()
{
    PrepareStartup();
    auto settings = std::make_unique<CCommSettings>();
    theApp.LoadWindowTitle();
    return settings;
}
