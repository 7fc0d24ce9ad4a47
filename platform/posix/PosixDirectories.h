// Where the kit keeps its files on POSIX systems.
#pragma once

#include <string>

// The kit's configuration directory: $XDG_CONFIG_HOME/corvane, or
// ~/.config/corvane. Created (private to the user) on first use; empty when
// there is none to be had.
std::string ConfigDirectory();

// The kit's runtime directory, emptied by the system when it restarts:
// $XDG_RUNTIME_DIR/corvane, or /tmp/corvane-<uid>. Created private to the
// user; refused (empty) when it exists but is not a directory of ours that
// only we can write.
std::string RuntimeDirectory();
