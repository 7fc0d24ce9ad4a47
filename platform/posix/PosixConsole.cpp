#include <unistd.h>

#include "platform/Console.h"

bool IsInteractive(std::FILE* stream) { return stream != nullptr && ::isatty(::fileno(stream)) != 0; }
