// Where the kit keeps its per-user files on this system.
#pragma once

#include <string>

// The kit's configuration directory: $XDG_CONFIG_HOME/corvane when that
// variable holds an absolute path, otherwise ~/.config/corvane (the home
// directory from $HOME, else from the password database). The directory is
// not created here.
std::string ConfigDirectory();
