// The kit's runtime directory on POSIX systems.
#pragma once

#include <string>

// The kit's runtime directory, emptied by the system when it restarts:
// $XDG_RUNTIME_DIR/corvane, or /tmp/corvane-<uid>. Created private to the
// user; refused (empty) when it exists but is not a directory of the user's
// that only the user can write.
std::string RuntimeDirectory();
