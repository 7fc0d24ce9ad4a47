// Runs many Program jobs, one after another in this process, against the
// simulated radio with faults chosen at random, and checks after every job:
//  * it ended (a watchdog ends the program if one job takes over a minute);
//  * the serial port and the timers were given back to the platform;
//  * no file descriptor was left open;
//  * the radio's number changed only after the user confirmed the repair, and
//    a job that reported the repair as done left the radio with the number it
//    wrote.
// The seed is printed first; the same seed replays the same jobs.
//
// Usage: soak_test [JOBS [SEED]]; CORVANE_SOAK_JOBS and CORVANE_SOAK_SEED
// stand in for missing arguments.
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "SbepSimulator.h"
#include "app/MessageBox.h"
#include "app/ProcessObjects.h"
#include "platform/posix/PosixSerial.h"
#include "sbep/SbepBroker.h"
#include "workflow/UpgradeWorkflow.h"

namespace {

using sbepsim::SimFault;

constexpr unsigned kPort = 1;
constexpr unsigned kDefaultJobs = 60;
constexpr auto kJobLimit = std::chrono::seconds(60);

const char* const kModels[] = {"1ABC", "ABC", "-X200", "9", "0123456789ABCDEF", ""};
const std::uint8_t kOpcodes[] = {kSbepRadioStatusRequest, kSbepUpdateSerialRequest,
                                 kSbepEndOfJobRequest};
const SimFault kFaults[] = {SimFault::Silence,   SimFault::Nak,          SimFault::BadChecksum,
                            SimFault::CutAfterHeader, SimFault::Unsupported, SimFault::WrongItem,
                            SimFault::UpdateRefused,  SimFault::EchoMismatch, SimFault::HangUp,
                            SimFault::Trickle};

struct ArmedFault {
    std::uint8_t opcode;
    unsigned attempt;  // 0: every attempt
    SimFault kind;
    unsigned param;
};

struct JobPlan {
    std::string model;
    bool echo = true;
    bool answerYes = true;
    std::vector<ArmedFault> faults;
};

std::string Describe(const JobPlan& plan)
{
    std::string text = "model '" + plan.model + "', echo " + (plan.echo ? "on" : "off") +
                       ", answer " + (plan.answerYes ? "Yes" : "No");
    for (const ArmedFault& f : plan.faults) {
        char fault[96];
        std::snprintf(fault, sizeof fault, ", %s on %02X attempt %u (%u)", sbepsim::FaultName(f.kind),
                      f.opcode, f.attempt, f.param);
        text += fault;
    }
    return text;
}

template <typename T, std::size_t N>
const T& Pick(std::mt19937& random, const T (&items)[N])
{
    return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

unsigned Uniform(std::mt19937& random, unsigned low, unsigned high)
{
    return std::uniform_int_distribution<unsigned>(low, high)(random);
}

// A small parameter that keeps each fault quick: trickled bytes stay well
// inside the per-byte allowance, so a trickle slows a job without failing it.
unsigned ParamFor(std::mt19937& random, SimFault kind)
{
    switch (kind) {
    case SimFault::Trickle: return Uniform(random, 1, 20);
    case SimFault::HangUp: return Uniform(random, 0, 3);
    case SimFault::EchoMismatch: return Uniform(random, 0, 3);
    case SimFault::UpdateRefused: return Uniform(random, 0, 2);
    default: return 0;
    }
}

JobPlan MakePlan(std::mt19937& random)
{
    JobPlan plan;
    plan.model = Pick(random, kModels);
    plan.echo = Uniform(random, 0, 3) != 0;
    plan.answerYes = Uniform(random, 0, 3) != 0;
    for (unsigned n = Uniform(random, 0, 2); n > 0; --n) {
        const SimFault kind = Pick(random, kFaults);
        plan.faults.push_back({Pick(random, kOpcodes), Uniform(random, 0, 4), kind, ParamFor(random, kind)});
    }
    return plan;
}

// Answers the repair question as planned; notes what was asked and shown.
class CPlannedBoxes : public IMessageBoxes {
public:
    explicit CPlannedBoxes(bool answerYes) : answerYes_(answerYes) {}
    MbAnswer Show(const MessageBoxRequest& box) override
    {
        if (box.caption == "Process completed")
            completed = true;
        if (box.buttons != MbButtons::YesNo)
            return MbAnswer::Ok;
        confirmed = confirmed || answerYes_;
        return answerYes_ ? MbAnswer::Yes : MbAnswer::No;
    }
    bool confirmed = false;
    bool completed = false;

private:
    bool answerYes_;
};

std::size_t OpenDescriptors()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// Ends the program when one job runs longer than kJobLimit.
class CWatchdog {
public:
    CWatchdog() : thread_([this] { Watch(); }) {}
    ~CWatchdog()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    void JobStarted(std::string what)
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(what);
        ++generation_;
        changed_.notify_all();
    }

private:
    void Watch()
    {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            const unsigned watched = generation_;
            if (!changed_.wait_for(lock, kJobLimit, [&] { return stopping_ || generation_ != watched; })) {
                std::fprintf(stderr, "soak: HANG: %s ran for over %lld s\n", job_.c_str(),
                             static_cast<long long>(kJobLimit.count()));
                std::fflush(stderr);
                _exit(2);
            }
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::string job_ = "start-up";
    unsigned generation_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

// What the platform still lends out after a job: every borrowed object must
// be back.
std::vector<std::string> UnreturnedLoans()
{
    std::vector<std::string> missing;
    if (thePlatform->GetSerial() != nullptr)
        thePlatform->ReleaseSerial();
    else
        missing.push_back("the serial port was not given back");
    if (thePlatform->GetTimer() != nullptr)
        thePlatform->ReleaseTimer();
    else
        missing.push_back("the general timer was not given back");
    if (thePlatform->GetCommTimer() != nullptr)
        thePlatform->ReleaseCommTimer();
    else
        missing.push_back("the comm timer was not given back");
    return missing;
}

// The text of the last update request the radio received, if any.
std::optional<std::string> LastUpdateText(const sbepsim::SbepSimulator& radio)
{
    std::optional<std::string> text;
    for (const auto& frame : radio.Frames()) {
        // Header, opcode, (two length bytes,) item, text..., checksum.
        const std::size_t item = (frame[0] & 0x0F) == 0x0F ? 4 : 2;
        if (frame.size() > item + 1 && frame[1] == kSbepUpdateSerialRequest)
            text = std::string(frame.begin() + item + 1, frame.end() - 1);
    }
    return text;
}

std::vector<std::string> RunJob(const JobPlan& plan, std::size_t descriptorsBefore)
{
    std::vector<std::string> failures;
    {
        sbepsim::SimOptions options;
        options.echo = plan.echo;
        options.model = plan.model;
        sbepsim::SbepSimulator radio(options);
        if (!radio.Start())
            return {"the simulated radio did not start: " + radio.Error()};
        for (const ArmedFault& f : plan.faults) radio.Arm(f.opcode, f.attempt, f.kind, f.param);
        BindPortDevice(kPort, radio.DevicePath());

        CPlannedBoxes boxes(plan.answerYes);
        {
            CScopedMessageBoxes shown(&boxes);
            ResetRecoveryFlags();
            CUpgradeWorkflow workflow;
            workflow.OnProgram(kPort, plan.echo ? 1 : 0);
        }
        radio.Stop();
        BindPortDevice(kPort, "");

        const std::string model = radio.Model();
        if (model != plan.model && !boxes.confirmed)
            failures.push_back("the number changed to '" + model + "' without consent");
        if (boxes.completed && LastUpdateText(radio) != model)
            failures.push_back("the repair was reported done, but the radio holds '" + model + "'");
    }
    for (std::string& missing : UnreturnedLoans()) failures.push_back(std::move(missing));
    theErrorLog.DropOutputs();
    const std::size_t descriptorsAfter = OpenDescriptors();
    if (descriptorsAfter != descriptorsBefore)
        failures.push_back("open descriptors went from " + std::to_string(descriptorsBefore) + " to " +
                           std::to_string(descriptorsAfter));
    return failures;
}

unsigned long ArgumentOr(int argc, char** argv, int index, const char* variable, unsigned long fallback)
{
    const char* text = index < argc ? argv[index] : std::getenv(variable);
    return text != nullptr && *text != '\0' ? std::strtoul(text, nullptr, 10) : fallback;
}

}  // namespace

int main(int argc, char** argv)
{
    const unsigned long jobs = ArgumentOr(argc, argv, 1, "CORVANE_SOAK_JOBS", kDefaultJobs);
    const auto seed = static_cast<std::uint32_t>(
        ArgumentOr(argc, argv, 2, "CORVANE_SOAK_SEED", std::random_device{}()));
    std::printf("soak: %lu jobs, seed %u\n", jobs, seed);
    std::fflush(stdout);

    // The error log writes every line, to a file in a directory of its own.
    char pattern[] = "/tmp/corvane-soak-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    theStartDirectory = pattern;
    theErrorLog.SetPrimaryOutput(1);

    std::mt19937 random(seed);
    CWatchdog watchdog;
    const std::size_t descriptors = OpenDescriptors();
    unsigned failedJobs = 0;
    const auto start = std::chrono::steady_clock::now();
    for (unsigned long job = 1; job <= jobs; ++job) {
        const JobPlan plan = MakePlan(random);
        watchdog.JobStarted("job " + std::to_string(job) + " (" + Describe(plan) + ")");
        const std::vector<std::string> failures = RunJob(plan, descriptors);
        if (failures.empty())
            continue;
        ++failedJobs;
        std::printf("job %lu FAILED (%s):\n", job, Describe(plan).c_str());
        for (const std::string& failure : failures) std::printf("  %s\n", failure.c_str());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("soak: %lu jobs in %.1f s, %u failed (seed %u)\n", jobs, seconds, failedJobs, seed);

    theErrorLog.SetPrimaryOutput(0);
    theErrorLog.DropOutputs();
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return failedJobs == 0 ? 0 : 1;
}
