// corvane-cli run as a program: its output, exit status and the frames the
// simulated radio received.
//
// The program cases run twice: with the corvane-cli of this build, given the
// radio's device with --device, and with the Windows build under wine, which
// reaches the radio as COM5 through wine's port map. The Windows suite names
// that build in the environment (CORVANE_WINE_RUN, the wine runner;
// CORVANE_WINE_CLI, corvane-cli.exe; CORVANE_WINE_COM5, the link that wine
// maps to COM5); without it those cases are skipped.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <sstream>
#include <tuple>

#include "SbepSimulator.h"
#include "tests/config/ConfigTestSupport.h"
#include "tests/support/Frames.h"

using namespace testing_support;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

namespace {

struct CliRun {
    int exitCode = -1;
    std::vector<std::string> lines;
    std::string out;
};

const char kConfig[] =
    "PATCH-D01.01.05\nRepair title\nRepair description\nPRODUCT_LINE\nBASIC\n"
    "RADIO_GROUP_REGION\nNorth America\nRelease\n";

// A run of "corvane-cli program --log" against a radio of the test's own.
struct RadioRun {
    CliRun cli;
    std::unique_ptr<sbepsim::SbepSimulator> radio;  // none with corvane-cli's own
    std::string log;  // cvErrlog.txt
};

enum class Build { Native, WindowsUnderWine };

void PrintTo(Build build, std::ostream* os)
{
    *os << (build == Build::Native ? "this build" : "the Windows build under wine");
}

// The Windows build as the Windows suite names it.
struct WineCli {
    std::string run;
    std::string program;
    std::string com5;
};

std::optional<WineCli> WineCliFromEnvironment()
{
    const char* run = std::getenv("CORVANE_WINE_RUN");
    const char* program = std::getenv("CORVANE_WINE_CLI");
    const char* com5 = std::getenv("CORVANE_WINE_COM5");
    if (run == nullptr || program == nullptr || com5 == nullptr)
        return std::nullopt;
    return WineCli{run, program, com5};
}

// A POSIX path as a Windows program under wine sees it: on drive Z:.
std::string WinePath(const std::string& path)
{
    std::string windows = "Z:" + path;
    for (char& ch : windows)
        ch = ch == '/' ? '\\' : ch;
    return windows;
}

// A kit directory with patcher.dat and a private settings store.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteConfig(kConfig);
        fs::create_directories(dir_.Path() / "run");
        ::setenv("XDG_CONFIG_HOME", (dir_.Path() / "config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (dir_.Path() / "run").c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_RUNTIME_DIR");
    }

    // Runs corvane-cli with `args` and no terminal on its input.
    CliRun Cli(const std::string& args) { return Run(std::string(CORVANE_CLI) + " " + args); }

    // Runs `program` and its arguments; lines lose a Windows line end.
    CliRun Run(const std::string& program)
    {
        const std::string command = program + " </dev/null 2>&1";
        CliRun run;
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr)
            return run;
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            run.out.append(buffer, n);
        const int status = ::pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::istringstream text(run.out);
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            run.lines.push_back(line);
        }
        return run;
    }

    // Runs "program --dir DIR --log `args`", with "--device <the radio>" when
    // `makeRadio` is given: a fresh radio for each run, one that never falls
    // silent (as is corvane-cli's own simulated radio). corvane-cli gives the
    // radio the real time-outs: 100 ms to acknowledge, 250 ms for each echoed
    // byte. A busy machine can hold the radio back longer, so a run whose log
    // shows the kit timing out is made again, a few times at most; a kit that
    // times out of its own accord does so in every run.
    RadioRun ProgramAgainst(const std::string& args,
                            const std::function<std::unique_ptr<sbepsim::SbepSimulator>()>& makeRadio = {},
                            Build build = Build::Native)
    {
        constexpr int kRuns = 5;
        const fs::path logFile = dir_.Path() / "cvErrlog.txt";
        RadioRun run;
        for (int attempt = 1; attempt <= kRuns; ++attempt) {
            fs::remove(logFile);
            std::string device;
            if (makeRadio) {
                run.radio = makeRadio();
                device = " --port 1 --device " + run.radio->DevicePath();
            }
            if (build == Build::Native)
                run.cli = Cli("program --dir " + Dir() + device + " --log " + args);
            else
                run.cli = UnderWine(*run.radio, "--log " + args);
            run.log = ReadFile(logFile.string());
            if (run.log.find("Number of byteTime timeout") == std::string::npos)
                break;
        }
        return run;
    }

    // Runs the program job of the Windows build under wine against `radio`,
    // which it reaches as COM5.
    CliRun UnderWine(const sbepsim::SbepSimulator& radio, const std::string& args)
    {
        const WineCli wine = *WineCliFromEnvironment();
        std::filesystem::remove(wine.com5);
        std::filesystem::create_symlink(radio.DevicePath(), wine.com5);
        CliRun run = Run("'" + wine.run + "' '" + wine.program + "' program --dir '" + WinePath(Dir()) +
                         "' --port 5 " + args);
        std::filesystem::remove(wine.com5);
        return run;
    }

    std::string Dir() const { return dir_.Path().string(); }

    CScopedTempDir dir_;
};

std::unique_ptr<sbepsim::SbepSimulator> Radio(const std::string& model, bool echo)
{
    sbepsim::SimOptions options;
    options.model = model;
    options.echo = echo;
    auto radio = std::make_unique<sbepsim::SbepSimulator>(options);
    EXPECT_TRUE(radio->Start()) << radio->Error();
    return radio;
}

const std::string kConfirm =
    "Confirm: Are you sure you want to fix the invalid sales model number of 1ABC?";

struct DeviceCase {
    const char* name;
    bool echo;
    std::string flags;
    bool nak;  // the radio refuses every status request
    int exitCode;
    std::vector<std::string> lines;
    std::vector<Bytes> frames;
    std::string finalModel;
};

void PrintTo(const DeviceCase& c, std::ostream* os) { *os << c.name; }

class CliDeviceTest : public CliTest,
                      public ::testing::WithParamInterface<std::tuple<DeviceCase, Build>> {};

TEST_P(CliDeviceTest, OutputExitStatusAndFrames)
{
    const auto& [c, build] = GetParam();
    if (build == Build::WindowsUnderWine && !WineCliFromEnvironment())
        GTEST_SKIP() << "no Windows build named in the environment";
    const RadioRun run = ProgramAgainst(
        std::string("--rib-echo ") + (c.echo ? "1 " : "0 ") + c.flags,
        [&] {
            auto radio = Radio("1ABC", c.echo);
            if (c.nak)
                radio->Arm(0x23, 0, sbepsim::SimFault::Nak);
            return radio;
        },
        build);
    EXPECT_EQ(run.cli.exitCode, c.exitCode) << run.cli.out << run.log;
    EXPECT_EQ(run.cli.lines, c.lines);
    EXPECT_EQ(run.radio->Frames(), c.frames);
    EXPECT_EQ(run.radio->Model(), c.finalModel);
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, CliDeviceTest,
    ::testing::Combine(::testing::Values(
        DeviceCase{"RepairsWithYes", true, "--yes", false, 0,
                   {kConfirm, "Process completed: From: 1ABC to ABC"},
                   {kStatusRequest, UpdateRequest("ABC"), kEndOfJobRequest}, "ABC"},
        DeviceCase{"RepairsWithoutEcho", false, "--yes", false, 0,
                   {kConfirm, "Process completed: From: 1ABC to ABC"},
                   {kStatusRequest, UpdateRequest("ABC"), kEndOfJobRequest}, "ABC"},
        DeviceCase{"NoTerminalMeansNo", true, "", false, 0, {kConfirm},
                   {kStatusRequest, kEndOfJobRequest}, "1ABC"},
        DeviceCase{"AnswerNo", true, "--no", false, 0, {kConfirm},
                   {kStatusRequest, kEndOfJobRequest}, "1ABC"},
        DeviceCase{"FailureExitsOne", true, "--yes", true, 1,
                   {"Professional Corvane: Received NACK from external device"},
                   {kStatusRequest, kStatusRequest, kStatusRequest, kStatusRequest}, "1ABC"}),
                       ::testing::Values(Build::Native, Build::WindowsUnderWine)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) == Build::Native ? "" : "_WindowsUnderWine");
    });

TEST_F(CliTest, LogWritesEveryLineIntoTheKitDirectory)
{
    const RadioRun run = ProgramAgainst("--yes", [] {
        auto radio = Radio("1ABC", true);
        radio->Arm(0x23, 0, sbepsim::SimFault::Nak);
        return radio;
    });
    EXPECT_EQ(run.cli.exitCode, 1);
    for (const char* line :
         {"Start Logging", "Receive Negative Ack from external device",
          "CSbepComm::SendCommand: Request failed! Retry number = 3",
          "CSbepComm::SendCommand: Retry exhuasted, so exit request",
          "Received NACK from external device",
          "CRadioInfo::UpdateModelNo: Update Model No. failed"})
        EXPECT_NE(run.log.find(line), std::string::npos) << line << "\n" << run.log;
}

TEST_F(CliTest, SimulatedRadioUsesTheSavedSettings)
{
    const fs::path key =
        dir_.Path() / "run/corvane/HKEY_LOCAL_MACHINE/SOFTWARE/Halvorn/Corvane";
    fs::create_directories(key);
    std::ofstream(key / ".values") << "Port ID=2\nRIB Echo Type=0\n";

    CliRun run = ProgramAgainst("--simulate --yes").cli;
    EXPECT_EQ(run.exitCode, 0) << run.out;
    ASSERT_EQ(run.lines.size(), 4u) << run.out;
    EXPECT_NE(run.lines[0].find("(COM2), model number 1ABC"), std::string::npos) << run.lines[0];
    EXPECT_EQ(run.lines[1], kConfirm);
    EXPECT_EQ(run.lines[3], "Simulated radio: model number ABC");

    run = ProgramAgainst("--simulate=ABC123").cli;
    EXPECT_EQ(run.exitCode, 0) << run.out;
    ASSERT_EQ(run.lines.size(), 3u) << run.out;
    EXPECT_EQ(run.lines[1], "Info: ABC123 appears to be a valid sales model number, no weird "
                            "character found at the first character");
}

TEST_F(CliTest, InfoShowsWhatTheKitRunsWith)
{
    CliRun run = Cli("info --dir " + Dir());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{
                             "Product line: 0 BASIC",
                             "Window title: Radio Sales Number Recovery Kit",
                             "About: Mobile Radio Sales Number Recovery Kit",
                             "Title: Repair title",
                             "Description: Repair description",
                             "Testing version: no",
                         }));

    fs::remove(dir_.Path() / "patcher.dat");
    run = Cli("info --dir " + Dir());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lines,
              std::vector<std::string>{"Professional Corvane: Unable to open configuration file"});
}

TEST_F(CliTest, UsageErrorsHelpAndVersion)
{
    for (const char* args :
         {"", "frobnicate", "program --port 0", "program --port x", "program --rib-echo 2",
          "program --yes --no", "program --simulate --device /dev/null", "info --yes",
          "program --dir", "program --dir /nonexistent/dir"}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.exitCode, 2) << args << ": " << run.out;
        EXPECT_EQ(run.out.rfind("corvane-cli: ", 0), 0u) << args << ": " << run.out;
    }
    CliRun run = Cli("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("Usage:", 0), 0u);
    run = Cli("--version");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("corvane-cli ", 0), 0u);
}

}  // namespace
