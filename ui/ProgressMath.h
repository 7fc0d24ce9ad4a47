// The progress window's arithmetic: the percentage in its caption, where its
// children go, and whether a remembered position is still on the screen.
#pragma once

#include <optional>
#include <string>

// 100 * (position - lower) / (upper - lower), truncated toward zero; 0 for an
// empty range. Computed wide, so that ranges of any 32-bit size are exact.
int ProgressPercentage(int position, int lower, int upper);

// "Progress [42%]".
std::string ProgressCaption(const std::string& title, int percentage);

// Position, range and step of the bar, and the percentage last shown.
class CProgressModel {
public:
    void SetBounds(int lower, int upper, int step);
    // Stores the position; returns the new caption percentage when it
    // differs from the one last shown.
    std::optional<int> SetPosition(int position);
    // Stores the position and leaves the percentage last shown as it is.
    void StorePosition(int position) { position_ = position; }
    int Position() const { return position_; }
    int Step() const { return step_; }
    int Lower() const { return lower_; }
    int Upper() const { return upper_; }

private:
    int position_ = 0;
    int lastPercentage_ = 0;
    int step_ = 1;
    int upper_ = 100;
    int lower_ = 0;
};

struct PxRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PxRect&) const = default;
};

struct ProgressLayoutInput {
    int textHeight = 0;   // height of textLines lines of "M"
    int textWidth = 0;
    int labelWidth = 0;   // the cancel label followed by two blanks
    int labelHeight = 0;
    int edgeX = 2;
    int edgeY = 2;
    bool cancelWanted = true;
};

struct ProgressLayout {
    PxRect text;
    PxRect button;
    PxRect bar;
    int clientWidth = 0;
    int clientHeight = 0;
};

ProgressLayout LayoutProgress(const ProgressLayoutInput& in);

// True when a remembered top-left corner lies on a screen of that size.
bool PlacementOnScreen(int x, int y, int screenWidth, int screenHeight);
