#include "CliOptions.h"

#include <charconv>

namespace {

constexpr std::int32_t kPortMax = 9999;

// The value of an option given as "--name=value" or "--name value".
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
               std::string& value, std::string& error)
{
    const std::string& arg = args[i];
    if (arg.size() > name.size() && arg.compare(0, name.size() + 1, name + "=") == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
    }
    value = args[++i];
    return true;
}

bool IsOption(const std::string& arg, const std::string& name)
{
    return arg == name || arg.compare(0, name.size() + 1, name + "=") == 0;
}

bool ParseNumber(const std::string& text, std::int32_t& number)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    return !text.empty() && result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// One option of the program command; false with `error` set when it is bad.
bool ParseProgramOption(const std::vector<std::string>& args, std::size_t& i, CliOptions& options,
                        std::string& error)
{
    const std::string& arg = args[i];
    std::string value;
    if (IsOption(arg, "--port")) {
        std::int32_t port = 0;
        if (!TakeValue(args, i, "--port", value, error))
            return false;
        if (!ParseNumber(value, port) || port < 1 || port > kPortMax) {
            error = "--port needs a port number from 1 to " + std::to_string(kPortMax) +
                    ", not '" + value + "'";
            return false;
        }
        options.port = port;
    } else if (IsOption(arg, "--device")) {
        if (!TakeValue(args, i, "--device", value, error))
            return false;
        if (value.empty()) {
            error = "--device needs a device path";
            return false;
        }
        options.device = value;
    } else if (IsOption(arg, "--rib-echo")) {
        if (!TakeValue(args, i, "--rib-echo", value, error))
            return false;
        if (value != "0" && value != "1") {
            error = "--rib-echo needs 0 or 1, not '" + value + "'";
            return false;
        }
        options.ribEcho = static_cast<unsigned char>(value[0] - '0');
    } else if (arg == "--yes" || arg == "--no") {
        const CliAnswers answers = arg == "--yes" ? CliAnswers::Yes : CliAnswers::No;
        if (options.answers != CliAnswers::Ask && options.answers != answers) {
            error = "--yes and --no exclude each other";
            return false;
        }
        options.answers = answers;
    } else if (arg == "--log") {
        options.log = true;
    } else if (arg == "--simulate") {
        options.simulate = true;
    } else if (arg.compare(0, 11, "--simulate=") == 0) {
        options.simulate = true;
        options.simulatedModel = arg.substr(11);
    } else {
        error = "unknown option '" + arg + "' for program";
        return false;
    }
    return true;
}

}  // namespace

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args,
                                           std::string& error)
{
    CliOptions options;
    if (args.empty()) {
        error = "a command is needed: info or program";
        return std::nullopt;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help")
        return options;
    if (command == "--version") {
        options.command = CliCommand::Version;
        return options;
    }
    if (command == "info")
        options.command = CliCommand::Info;
    else if (command == "program")
        options.command = CliCommand::Program;
    else {
        error = "unknown command '" + command + "'";
        return std::nullopt;
    }

    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.command = CliCommand::Help;
            return options;
        }
        if (IsOption(arg, "--dir")) {
            if (!TakeValue(args, i, "--dir", options.dir, error))
                return std::nullopt;
            if (options.dir.empty()) {
                error = "--dir needs a directory";
                return std::nullopt;
            }
        } else if (options.command == CliCommand::Info) {
            error = "unknown option '" + arg + "' for info";
            return std::nullopt;
        } else if (!ParseProgramOption(args, i, options, error)) {
            return std::nullopt;
        }
    }
    if (options.simulate && !options.device.empty()) {
        error = "--simulate and --device exclude each other";
        return std::nullopt;
    }
    return options;
}

const char* UsageText()
{
    return "Usage:\n"
           "  corvane-cli info [--dir DIR]\n"
           "  corvane-cli program [--dir DIR] [--port N] [--device PATH] [--rib-echo 0|1]\n"
           "                      [--yes | --no] [--log] [--simulate[=MODEL]]\n"
           "  corvane-cli --help | --version\n"
           "\n"
           "Repairs a radio's sales model number whose first character is not an\n"
           "upper-case letter, over SBEP on a serial port.\n"
           "\n"
           "Commands:\n"
           "  info      show the product line and the texts of patcher.dat in DIR\n"
           "  program   run the Program job: read the model number and, with consent,\n"
           "            write the repaired one back\n"
           "\n"
           "Options:\n"
           "  --dir DIR          the kit's directory with patcher.dat (default: current)\n"
           "  --port N           COM port number (default: the saved setting, first run 1)\n"
           "  --device PATH      use the device PATH as port N for this run\n"
           "  --rib-echo 0|1     whether the radio interface box echoes (default: saved, 1)\n"
           "  --yes, --no        answer every question Yes/OK, or No/Cancel; without them\n"
           "                     questions are asked on the terminal, and answered\n"
           "                     No/Cancel when there is no terminal\n"
           "  --log              write every diagnostic line to cvErrlog.txt in DIR\n"
           "  --simulate[=MODEL] run against a simulated radio with the model number MODEL\n"
           "                     (default 1ABC) on a pseudo-terminal\n"
           "\n"
           "Every message box is printed as '<caption>: <text>'.\n"
           "Exit status: 0 no error shown, 1 an error was shown, 2 bad usage.\n";
}
