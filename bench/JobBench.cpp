// The Program job (status request, update, end of job) against the simulated
// radio, which paces every byte it sends at 9600 8N1 and echoes, as a RIB
// does, every byte the kit sends:
//  * in this process, through the workflow: wall time against the line floor,
//    and the time until a radio that never answers is reported, against the
//    allowance that the transport and the serial port compute;
//  * as corvane-cli child processes: CPU time against wall time, and N kits
//    repairing N radios at once against one.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "SbepSimulator.h"
#include "app/Blowfish.h"
#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "bench/Benchmarks.h"
#include "platform/posix/PosixSerial.h"
#include "res/StringTable.h"
#include "workflow/UpgradeWorkflow.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kBaud = 9600;
constexpr double kCharSeconds = 10.0 / kBaud;  // start bit, 8 data bits, stop bit
constexpr double kPostDelaySeconds = 0.010;    // the pause after each exchange
constexpr unsigned kPort = 1;
constexpr unsigned char kEchoOn = 1;
constexpr const char* kBrokenModel = "1ABC";
constexpr const char* kRepairedModel = "ABC";
constexpr std::uint8_t kStatusOpcode = 0x23;
constexpr int kRepeats = 5;  // the median of this many runs counts
constexpr int kScales[] = {4, 16};

constexpr const char* kKitConfig =
    "PATCH-D01.01.05\r\nSales Model Number Recovery\r\nRepairs the number.\r\n"
    "PRODUCT_LINE\r\nBASIC\r\nRADIO_GROUP_REGION\r\nNorth America\r\nRelease\r\n";

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Ms(double seconds) { return Fixed(seconds * 1000, 1) + " ms"; }

// Counts the bytes that cross the line, from the simulator's log: "<- " a
// request from the kit (its echo travels back at the same time), "-> " an
// acknowledgement or a reply from the radio. Bytes are "XX" separated by
// blanks.
class CLineTally {
public:
    std::function<void(const std::string&)> Logger()
    {
        return [this](const std::string& line) {
            if (line.rfind("<- ", 0) == 0 || line.rfind("-> ", 0) == 0)
                bytes_ += unsigned(line.size() - 3 + 1) / 3;
        };
    }
    unsigned Bytes() const { return bytes_; }

private:
    std::atomic<unsigned> bytes_{0};
};

// A simulated radio with a model number that needs repair, paced at 9600.
std::unique_ptr<sbepsim::SbepSimulator> StartRadio(CLineTally* tally = nullptr)
{
    sbepsim::SimOptions options;
    options.echo = true;
    options.model = kBrokenModel;
    options.paceBaud = kBaud;
    if (tally != nullptr)
        options.log = tally->Logger();
    auto radio = std::make_unique<sbepsim::SbepSimulator>(options);
    if (!radio->Start())
        throw std::runtime_error("the simulated radio cannot start: " + radio->Error());
    return radio;
}

// Answers every question Yes and notes when the first box was shown.
class CTimedYesBoxes : public IMessageBoxes {
public:
    MbAnswer Show(const MessageBoxRequest& box) override
    {
        if (!first_)
            first_ = Clock::now();
        return box.buttons == MbButtons::YesNo ? MbAnswer::Yes : MbAnswer::Ok;
    }
    Clock::time_point First() const { return first_.value_or(Clock::now()); }

private:
    std::optional<Clock::time_point> first_;
};

struct InProcessRun {
    double wallSeconds = 0;  // the whole OnProgram
    double cpuSeconds = 0;   // of the thread that ran it
    double boxSeconds = 0;   // until the first box
    bool good = false;
};

// One Program job on this thread against `radio`, bound to the kit's port.
InProcessRun RunInProcess(sbepsim::SbepSimulator& radio, CUpgradeWorkflow& workflow)
{
    BindPortDevice(kPort, radio.DevicePath());
    CTimedYesBoxes boxes;
    CScopedMessageBoxes shown(&boxes);
    InProcessRun run;
    const double cpuStart = ThreadCpuSeconds();
    const Clock::time_point start = Clock::now();
    run.good = workflow.OnProgram(kPort, kEchoOn);
    run.wallSeconds = SecondsSince(start);
    run.cpuSeconds = ThreadCpuSeconds() - cpuStart;
    run.boxSeconds = std::chrono::duration<double>(boxes.First() - start).count();
    BindPortDevice(kPort, "");
    return run;
}

BenchRows JobAgainstFloor()
{
    std::vector<double> ratios;
    std::vector<double> walls;
    std::vector<double> floors;
    std::vector<double> cpuShares;
    for (int i = 0; i < kRepeats; ++i) {
        CLineTally tally;
        auto radio = StartRadio(&tally);
        CUpgradeWorkflow workflow;
        const InProcessRun run = RunInProcess(*radio, workflow);
        if (!run.good || radio->Model() != kRepairedModel)
            throw std::runtime_error("the Program job did not repair the simulated radio");
        const double floor = tally.Bytes() * kCharSeconds + radio->Counters().acks * kPostDelaySeconds;
        walls.push_back(run.wallSeconds);
        floors.push_back(floor);
        ratios.push_back(run.wallSeconds / floor);
        cpuShares.push_back(run.cpuSeconds / run.wallSeconds);
    }
    const double ratio = Median(ratios);
    return {
        {"job: wall / line floor (in process)",
         Fixed(ratio, 3) + " (" + Ms(Median(walls)) + " vs " + Ms(Median(floors)) + ")", "<= 1.05",
         Verdict(ratio <= 1.05)},
        {"job: CPU / wall of the job's thread (in process)", Fixed(Median(cpuShares) * 100, 1) + " %",
         "", ""},
    };
}

// The serial port turns a read time-out into whole character times without
// a new byte, plus one; a read of one byte gets all of them.
double ReadAllowanceSeconds(int timeoutMs)
{
    const auto charTimes = static_cast<unsigned>(timeoutMs * 0.001 / kCharSeconds);
    return (charTimes + 1) * kCharSeconds;
}

BenchRows SilentRadio()
{
    std::vector<double> ratios;
    std::vector<double> waits;
    double allowance = 0;
    for (int i = 0; i < kRepeats; ++i) {
        auto radio = StartRadio();
        radio->Arm(kStatusOpcode, 0, sbepsim::SimFault::Silence);
        CUpgradeWorkflow workflow;
        const InProcessRun run = RunInProcess(*radio, workflow);
        if (run.good)
            throw std::runtime_error("the Program job did not report the silent radio");
        // Each attempt: the request goes out and its echo comes back, then the
        // acknowledgement is awaited.
        const CSbepComm& comm = workflow.Broker().comm;
        const auto frames = radio->Frames();
        const std::size_t requestBytes = frames.empty() ? 0 : frames.front().size();
        allowance = comm.retryCount * (requestBytes * kCharSeconds + ReadAllowanceSeconds(comm.ackTimeout));
        waits.push_back(run.boxSeconds);
        ratios.push_back(run.boxSeconds / allowance);
    }
    const double ratio = Median(ratios);
    return {{"silent radio: time to report / allowance (4 attempts)",
             Fixed(ratio, 3) + " (" + Ms(Median(waits)) + " vs " + Ms(allowance) + ")", "~ 1.00",
             ""}};
}

// --- corvane-cli as child processes -------------------------------------

// A private directory with patcher.dat and the kit's per-user directories.
class CKitDir {
public:
    CKitDir()
    {
        char pattern[] = "/tmp/corvane-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            throw std::runtime_error("no temporary directory");
        path_ = pattern;
        std::filesystem::create_directories(path_ / "config");
        std::filesystem::create_directories(path_ / "run");
        std::filesystem::permissions(path_ / "run", std::filesystem::perms::owner_all);
        WriteConfig();
    }
    ~CKitDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    CKitDir(const CKitDir&) = delete;
    CKitDir& operator=(const CKitDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    void WriteConfig() const
    {
        std::string bytes = kKitConfig;
        bytes.resize((bytes.size() + 7) / 8 * 8, '\0');
        const std::string key = ResString(IDS_CONFIG_KEY);
        CBlowfish cipher;
        cipher.Initialize(reinterpret_cast<const unsigned char*>(key.data()), key.size());
        cipher.Encipher(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
        std::ofstream(path_ / "patcher.dat", std::ios::binary) << bytes;
    }

    std::filesystem::path path_;
};

struct KitRun {
    double wallSeconds = 0;
    double cpuSeconds = 0;
};

// The arguments of corvane-cli for a Program job on `device` in `dir`.
std::vector<std::string> ProgramArgs(const CKitDir& dir, const std::string& device)
{
    return {"program", "--dir", dir.Path().string(), "--port", std::to_string(kPort),
            "--device", device, "--rib-echo", "1", "--yes"};
}

// Starts corvane-cli with `kitArgs` and `dir` as its home; its output goes to
// dir/kit-<index>.out.
pid_t SpawnKit(const CKitDir& dir, const std::vector<std::string>& kitArgs, int index = 0)
{
    const std::string home = dir.Path().string();
    std::vector<std::string> args = {CORVANE_CLI};
    args.insert(args.end(), kitArgs.begin(), kitArgs.end());
    std::vector<std::string> env = {"XDG_CONFIG_HOME=" + home + "/config",
                                    "XDG_RUNTIME_DIR=" + home + "/run", "HOME=" + home,
                                    "PATH=/usr/bin:/bin"};
    auto pointers = [](std::vector<std::string>& texts) {
        std::vector<char*> list;
        for (std::string& text : texts) list.push_back(text.data());
        list.push_back(nullptr);
        return list;
    };
    std::vector<char*> argv = pointers(args);
    std::vector<char*> envp = pointers(env);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string out = home + "/kit-" + std::to_string(index) + ".out";
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, CORVANE_CLI, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("corvane-cli cannot start");
    return pid;
}

// Waits for the kit; its CPU time from the kernel's accounting.
double WaitKit(pid_t pid)
{
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("corvane-cli failed (see its kit-<index>.out)");
    auto seconds = [](const timeval& tv) { return double(tv.tv_sec) + tv.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// N kits in `home` repair N radios at once: the wall time from the first
// start to the last end, and the CPU time of all the kits.
KitRun RunKits(const CKitDir& home, int count)
{
    std::vector<std::unique_ptr<sbepsim::SbepSimulator>> radios;
    for (int i = 0; i < count; ++i) radios.push_back(StartRadio());
    std::vector<pid_t> kits;
    KitRun run;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < count; ++i)
        kits.push_back(SpawnKit(home, ProgramArgs(home, radios[i]->DevicePath()), i));
    for (pid_t kit : kits) run.cpuSeconds += WaitKit(kit);
    run.wallSeconds = SecondsSince(start);
    for (const auto& radio : radios) {
        if (radio->Model() != kRepairedModel)
            throw std::runtime_error("a kit did not repair its simulated radio");
    }
    return run;
}

// What starting and ending a kit process costs by itself: corvane-cli
// --version, the median wall and CPU time.
KitRun KitStartUp(const CKitDir& home)
{
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < kRepeats; ++i) {
        const Clock::time_point start = Clock::now();
        cpus.push_back(WaitKit(SpawnKit(home, {"--version"})));
        walls.push_back(SecondsSince(start));
    }
    return {Median(walls), Median(cpus)};
}

// The kits share one home. A first job there, not measured, makes the
// settings that every later job finds, as on a technician's machine.
BenchRows KitProcesses(const CKitDir& home)
{
    RunKits(home, 1);
    std::vector<double> walls;
    std::vector<double> cpus;
    std::vector<double> shares;
    for (int i = 0; i < kRepeats; ++i) {
        const KitRun one = RunKits(home, 1);
        walls.push_back(one.wallSeconds);
        cpus.push_back(one.cpuSeconds);
        shares.push_back(one.cpuSeconds / one.wallSeconds);
    }
    const double one = Median(walls);
    const double share = Median(shares);
    const KitRun bare = KitStartUp(home);
    BenchRows rows = {
        {"kit process: CPU / wall (corvane-cli, one job)",
         Fixed(share * 100, 1) + " % (CPU " + Ms(Median(cpus)) + ", wall " + Ms(one) + ")", "<= 5 %",
         Verdict(share <= 0.05)},
        {"kit process start and end alone (corvane-cli --version)",
         "CPU " + Ms(bare.cpuSeconds) + ", wall " + Ms(bare.wallSeconds), "", ""},
    };
    for (int count : kScales) {
        const KitRun many = RunKits(home, count);
        const double ratio = many.wallSeconds / one;
        rows.push_back({"scale: " + std::to_string(count) + " kits at once / one",
                        Fixed(ratio, 2) + " (" + Ms(many.wallSeconds) + ", CPU " +
                            Ms(many.cpuSeconds) + ")",
                        count == 16 ? "<= 1.20" : "", count == 16 ? Verdict(ratio <= 1.2) : ""});
    }
    return rows;
}

}  // namespace

BenchRows JobBenchmarks()
{
    // The jobs run in this process write their error log in a directory of
    // their own.
    const CKitDir home;
    theStartDirectory = home.Path().string();
    BenchRows rows = JobAgainstFloor();
    for (BenchRows more : {SilentRadio(), KitProcesses(home)})
        rows.insert(rows.end(), more.begin(), more.end());
    theStartDirectory.clear();
    return rows;
}
