#include "platform/Platform.h"

// Placeholder until the POSIX platform lands: no platform objects.
CPlatform* GetPlatform() { return nullptr; }
