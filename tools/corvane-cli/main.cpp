// corvane-cli: the kit from a terminal. "info" shows what the kit would run
// with; "program" runs the Program job, on a serial device or against the
// simulated radio.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "CliOptions.h"
#include "SbepSimulator.h"
#include "TerminalBoxes.h"
#include "app/ProcessObjects.h"
#include "app/Startup.h"
#include "platform/posix/PosixSerial.h"
#include "workflow/UpgradeWorkflow.h"

namespace {

enum : int { kExitGood = 0, kExitError = 1, kExitUsage = 2 };

int RunInfo()
{
    PrepareStartup();
    CTerminalBoxes boxes(CliAnswers::No, stdout, nullptr);
    CScopedMessageBoxes shown(&boxes);
    CUpgradeWorkflow workflow;
    if (!workflow.ReadConfiguration(std::filesystem::current_path().string()))
        return kExitError;
    const ProductLineInfo& line = theApp.ProductLine();
    std::printf("Product line: %d %s\n", int(theApp.productLine), line.name);
    std::printf("Window title: %s\n", theApp.LoadWindowTitle().c_str());
    std::printf("About: %s\n", theApp.LoadAboutTitle().c_str());
    std::printf("Title: %s\n", workflow.Title().c_str());
    std::printf("Description: %s\n", workflow.Description().c_str());
    std::printf("Testing version: %s\n", workflow.IsTestingVersion() ? "yes" : "no");
    return kExitGood;
}

// Starts the simulated radio and binds it to `port`; null when it cannot run.
std::unique_ptr<sbepsim::SbepSimulator> StartSimulator(const CliOptions& options,
                                                       std::int32_t port, bool echo)
{
    sbepsim::SimOptions simOptions;
    simOptions.echo = echo;
    simOptions.model = options.simulatedModel;
    auto simulator = std::make_unique<sbepsim::SbepSimulator>(simOptions);
    if (!simulator->Start()) {
        std::fprintf(stderr, "corvane-cli: the simulated radio cannot start: %s\n",
                     simulator->Error().c_str());
        return nullptr;
    }
    BindPortDevice(static_cast<unsigned>(port), simulator->DevicePath());
    std::printf("Simulated radio on %s (COM%d), model number %s\n",
                simulator->DevicePath().c_str(), int(port), simulator->Model().c_str());
    return simulator;
}

int RunProgram(const CliOptions& options)
{
    const auto settings = StartKit();
    if (options.log)
        theErrorLog.SetPrimaryOutput(1);
    const std::int32_t port = options.port.value_or(settings->portId);
    const unsigned char echo = options.ribEcho.value_or(settings->ribEchoType);

    std::unique_ptr<sbepsim::SbepSimulator> simulator;
    if (options.simulate) {
        simulator = StartSimulator(options, port, echo == 1);
        if (simulator == nullptr)
            return kExitError;
    } else if (!options.device.empty()) {
        BindPortDevice(static_cast<unsigned>(port), options.device);
    }

    CTerminalBoxes boxes(options.answers, stdout, stdin);
    CScopedMessageBoxes shown(&boxes);
    bool errorShown = false;
    {
        CUpgradeWorkflow workflow;
        workflow.OnInitialUpdate(settings->StartDirectory());
        if (!workflow.QuitRequested())
            workflow.OnProgram(port, echo);
        errorShown = workflow.ErrorShown();
    }
    if (simulator != nullptr)
        std::printf("Simulated radio: model number %s\n", simulator->Model().c_str());
    return errorShown ? kExitError : kExitGood;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    const auto options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "corvane-cli: %s\nTry 'corvane-cli --help'.\n", error.c_str());
        return kExitUsage;
    }
    switch (options->command) {
    case CliCommand::Help:
        std::fputs(UsageText(), stdout);
        return kExitGood;
    case CliCommand::Version:
        std::printf("corvane-cli %s\n", CORVANE_VERSION);
        return kExitGood;
    case CliCommand::Info:
    case CliCommand::Program:
        break;
    }
    if (!options->dir.empty() && ::chdir(options->dir.c_str()) != 0) {
        std::fprintf(stderr, "corvane-cli: cannot use the directory '%s': %s\n",
                     options->dir.c_str(), std::strerror(errno));
        return kExitUsage;
    }
    return options->command == CliCommand::Info ? RunInfo() : RunProgram(*options);
}
