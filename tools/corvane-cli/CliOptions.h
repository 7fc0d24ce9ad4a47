// The command line of corvane-cli.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class CliCommand { Info, Program, Help, Version };

// How questions are answered.
enum class CliAnswers { Ask, Yes, No };

struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::string dir;  // empty: the current directory
    std::optional<std::int32_t> port;
    std::optional<unsigned char> ribEcho;
    std::string device;
    CliAnswers answers = CliAnswers::Ask;
    bool log = false;
    bool simulate = false;
    std::string simulatedModel = "1ABC";  // a number that needs repair
};

// Parses the arguments after the program name. On bad usage returns nothing
// and sets `error` to a one-line explanation.
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args,
                                           std::string& error);

// The text of --help.
const char* UsageText();
