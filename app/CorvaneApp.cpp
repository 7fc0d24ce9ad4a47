#include "app/CorvaneApp.h"

#include "app/FileManager.h"
#include "res/StringTable.h"

const ProductLineInfo productLineTable[kProductLineCount] = {
    {0, "BASIC", 146, 153, 229, 446, 317},
    {1, "ORION", 146, 153, 228, 480, 360},
    {2, "ORION_PLUS", 146, 153, 228, 480, 360},
    {3, "TRUNK", 146, 153, 229, 446, 317},
    {4, "VEGA_A", 147, 153, 229, 446, 317},
    {5, "VEGA_B", 147, 153, 229, 446, 317},
    {6, "NO_LINE", 147, 154, 160, 446, 317},
};

std::int32_t MatchProductLine(const std::string& name)
{
    if (name == productLineTable[0].name)
        return productLineTable[0].id;
    // The search ends at the no-line row, which is never compared itself.
    int row = 1;
    for (; productLineTable[row].id != kNoProductLine; ++row) {
        if (name == productLineTable[row].name)
            break;
    }
    return productLineTable[row].id;
}

void CCorvaneApp::SelectProductLine()
{
    FileManager config;  // closes the file and frees the text on return
    if (config.OpenConfig() && config.LoadConfig())
        productLine = MatchProductLine(config.GetProductLine());
}

const ProductLineInfo& CCorvaneApp::ProductLine() const
{
    if (productLine < 0 || productLine >= kProductLineCount)
        return productLineTable[kNoProductLine];
    return productLineTable[productLine];
}

const std::string& CCorvaneApp::LoadWindowTitle()
{
    windowTitle = ResString(ProductLine().titleId);
    return windowTitle;
}

const std::string& CCorvaneApp::LoadAboutTitle()
{
    aboutTitle = ResString(ProductLine().aboutTitleId);
    return aboutTitle;
}
