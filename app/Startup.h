// The window-free steps of the kit's start-up, shared by both front ends.
#pragma once

#include <memory>
#include <string>

#include "app/CommSettings.h"

// The steps before the settings document exists, in order: the application
// name, the error log's primary output switched off, the product line chosen
// from patcher.dat in the current directory.
void PrepareStartup();

// The whole sequence for a front end without a document of its own:
// PrepareStartup, then the settings (loaded from the store, the current
// directory recorded as the start directory), then the main window's title
// for the product line, left in theApp.windowTitle.
std::unique_ptr<CCommSettings> StartKit();
