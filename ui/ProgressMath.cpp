#include "ui/ProgressMath.h"

#include <cstdint>

int ProgressPercentage(int position, int lower, int upper)
{
    if (upper <= lower)
        return 0;
    const std::int64_t done = std::int64_t{position} - lower;
    return static_cast<int>(100 * done / (std::int64_t{upper} - lower));
}

std::string ProgressCaption(const std::string& title, int percentage)
{
    return title + " [" + std::to_string(percentage) + "%]";
}

void CProgressModel::SetBounds(int lower, int upper, int step)
{
    upper_ = upper;
    lower_ = lower;
    step_ = step;
}

std::optional<int> CProgressModel::SetPosition(int position)
{
    position_ = position;
    const int percentage = ProgressPercentage(position, lower_, upper_);
    if (percentage == lastPercentage_)
        return std::nullopt;
    lastPercentage_ = percentage;
    return percentage;
}

ProgressLayout LayoutProgress(const ProgressLayoutInput& in)
{
    ProgressLayout out;
    out.text = {10, 10, 10 + in.textWidth, 10 + in.textHeight};
    const int buttonWidth = in.labelWidth + 4 * in.edgeX;
    const int buttonHeight = in.labelHeight + 3 * in.edgeY;
    out.button.right = out.text.right;
    out.button.left = out.button.right - buttonWidth;
    out.button.top = out.text.bottom + 10;
    out.button.bottom = out.button.top + buttonHeight;
    out.bar.left = out.text.left;
    out.bar.top = out.button.top + in.edgeY;
    out.bar.bottom = out.button.bottom - in.edgeY;
    out.bar.right = (in.cancelWanted ? out.button.left : out.button.right) - 10;
    out.clientWidth = in.textWidth + 20;
    out.clientHeight = in.textHeight + buttonHeight + 30;
    return out;
}

bool PlacementOnScreen(int x, int y, int screenWidth, int screenHeight)
{
    return x >= 0 && x < screenWidth && y >= 0 && y < screenHeight;
}
