// The command line of the desktop kit.
#pragma once

#include <string>
#include <vector>

struct KitArguments {
    bool help = false;
    bool simulate = false;   // run against the built-in simulated radio
    std::string model;       // its sales model number; empty: the simulator's own
    std::string device;      // the device that the chosen COM port stands for
    std::string error;       // not empty: the command line is refused
};

inline constexpr const char* kKitUsage =
    "Usage: corvane [--simulate[=MODEL]] [--device PATH]\n"
    "  --simulate[=MODEL]  run against a simulated radio whose sales model number is\n"
    "                      MODEL (1ABC when none is given)\n"
    "  --device PATH       open PATH as the chosen COM port (a serial device)\n";

// The arguments after the program name (Qt's own already taken out).
KitArguments ParseKitArguments(const std::vector<std::string>& args);
