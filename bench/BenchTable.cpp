#include "bench/BenchTable.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Verdict(bool met) { return met ? "met" : "missed"; }

namespace {

constexpr int kColumns = 4;

const std::string& Cell(const BenchRow& row, int column)
{
    const std::string* cells[kColumns] = {&row.what, &row.figure, &row.target, &row.verdict};
    return *cells[column];
}

}  // namespace

void PrintTable(const BenchRows& rows)
{
    const BenchRow header{"benchmark", "measured", "target", ""};
    std::size_t widths[kColumns] = {};
    for (int c = 0; c < kColumns; ++c) {
        widths[c] = Cell(header, c).size();
        for (const BenchRow& row : rows) widths[c] = std::max(widths[c], Cell(row, c).size());
    }
    auto print = [&](const BenchRow& row) {
        for (int c = 0; c < kColumns; ++c)
            std::printf("| %-*s ", static_cast<int>(widths[c]), Cell(row, c).c_str());
        std::printf("|\n");
    };
    print(header);
    for (int c = 0; c < kColumns; ++c) std::printf("|%s", std::string(widths[c] + 2, '-').c_str());
    std::printf("|\n");
    for (const BenchRow& row : rows) print(row);
}
