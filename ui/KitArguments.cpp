#include "ui/KitArguments.h"

KitArguments ParseKitArguments(const std::vector<std::string>& args)
{
    KitArguments out;
    for (std::size_t i = 0; i < args.size() && out.error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--simulate") {
            out.simulate = true;
        } else if (arg.rfind("--simulate=", 0) == 0) {
            out.simulate = true;
            out.model = arg.substr(11);
        } else if (arg == "--device" && i + 1 < args.size()) {
            out.device = args[++i];
        } else if (arg.rfind("--device=", 0) == 0) {
            out.device = arg.substr(9);
        } else if (arg == "--device") {
            out.error = "--device needs a path";
        } else {
            out.error = "unknown argument: " + arg;
        }
    }
    if (out.error.empty() && out.simulate && !out.device.empty())
        out.error = "--simulate and --device exclude each other";
    if (out.error.empty() && !out.device.empty() && out.device[0] == '-')
        out.error = "--device needs a path";
    return out;
}
