#include "ui/CommText.h"

#include <cctype>

std::string CommTextForPort(int portId)
{
    return "COMM" + std::to_string(portId);
}

int PortIdFromCommText(const std::string& text, int previous)
{
    if (text.size() < 5)
        return previous;
    return static_cast<unsigned char>(text[4]) - '0';
}

int FindEntryWithPrefix(const std::vector<std::string>& entries, const std::string& text)
{
    auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (entry.size() < text.size())
            continue;
        bool match = true;
        for (std::size_t k = 0; k < text.size() && match; ++k)
            match = lower(entry[k]) == lower(text[k]);
        if (match)
            return static_cast<int>(i);
    }
    return -1;
}
