#include "ui/CancelEvent.h"

#include <memory>

namespace {

std::unique_ptr<CCancelEvent>& Event()
{
    static std::unique_ptr<CCancelEvent> event;
    return event;
}

}  // namespace

CCancelEvent* CancelEventHandle()
{
    return Event().get();
}

CCancelEvent* CreateCancelEvent()
{
    if (!Event())
        Event() = std::make_unique<CCancelEvent>();
    return Event().get();
}
