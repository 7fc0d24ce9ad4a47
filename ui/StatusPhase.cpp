#include "ui/StatusPhase.h"

std::optional<std::string> CStatusPhase::Show(const char* text, const std::string& current)
{
    if (!saved_)
        saved_ = current;
    return std::string(text);
}

std::optional<std::string> CStatusPhase::Apply(int phase, const std::string& current)
{
    if (phase == 1)
        return Show(kPhaseBootcode, current);
    if (phase == 2)
        return Show(kPhaseFlash, current);
    if (saved_) {
        std::optional<std::string> restored = std::move(saved_);
        saved_.reset();
        return restored;
    }
    if (phase == 3)
        return Show(kPhaseChecksum, current);
    return std::nullopt;
}
