// Whether a person sits at the other end of a stream.
#pragma once

#include <cstdio>

// True when `stream` is an interactive terminal (a console window on
// Windows), where questions can be asked and answered. Files, pipes and the
// null device are not.
bool IsInteractive(std::FILE* stream);
