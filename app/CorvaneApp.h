// The application object: the facts the whole kit reads about what it is,
// chief among them the product line chosen at start-up from patcher.dat.
#pragma once

#include <cstdint>
#include <string>

struct ProductLineInfo {
    std::int32_t id;
    const char* name;
    std::int32_t titleId;       // string: main window title
    std::int32_t aboutTitleId;  // string: product name in the About box
    std::int32_t pictureId;     // bitmap drawn by the background view
    std::int32_t pictureWidth;
    std::int32_t pictureHeight;
};

inline constexpr int kProductLineCount = 7;
inline constexpr std::int32_t kNoProductLine = 6;  // no known line found

extern const ProductLineInfo productLineTable[kProductLineCount];

// The product-line index for a PRODUCT_LINE value (exact, case-sensitive).
std::int32_t MatchProductLine(const std::string& name);

class CCorvaneApp {
public:
    CCorvaneApp() = default;
    virtual ~CCorvaneApp() = default;

    // Sets productLine from patcher.dat in the current directory; keeps 6
    // when the file cannot be opened or loaded.
    void SelectProductLine();

    // The row of the product-line table for productLine.
    const ProductLineInfo& ProductLine() const;

    // Loads windowTitle from the current line's title string and returns it.
    const std::string& LoadWindowTitle();
    // Loads aboutTitle from the current line's About string and returns it.
    const std::string& LoadAboutTitle();

    std::string aboutTitle;
    std::string windowTitle;
    std::int32_t productLine = kNoProductLine;
};
