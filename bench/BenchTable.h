// The one table that the benchmark program prints: a row per figure, with
// the target it is measured against. Targets are shown, never enforced.
#pragma once

#include <string>
#include <vector>

struct BenchRow {
    std::string what;      // what was measured
    std::string figure;    // the measured figure, with the numbers behind it
    std::string target;    // the goal, or empty when there is none
    std::string verdict;   // "met", "missed", or empty
};

using BenchRows = std::vector<BenchRow>;

// A number with `decimals` digits after the point.
std::string Fixed(double value, int decimals);
// "met" or "missed".
std::string Verdict(bool met);
// Prints the rows as a Markdown table.
void PrintTable(const BenchRows& rows);
