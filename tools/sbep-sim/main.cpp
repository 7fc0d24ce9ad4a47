// sbep-sim: a simulated radio on a pseudo-terminal, for trying the kit
// without a radio. See SimArgs.cpp for the command line.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "SbepSimulator.h"
#include "SimArgs.h"

using namespace sbepsim;

namespace {

constexpr long kPollNs = 50'000'000;
// Time for the last acknowledgement to reach the kit before the line closes.
constexpr long kOnceGraceNs = 200'000'000;

bool MakeLink(const std::string& target, const std::string& link) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) {
      std::fprintf(stderr, "sbep-sim: %s exists and is not a symbolic link\n", link.c_str());
      return false;
    }
    unlink(link.c_str());
  }
  if (symlink(target.c_str(), link.c_str()) != 0) {
    std::fprintf(stderr, "sbep-sim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

// Blocks SIGINT and SIGTERM in every thread; main takes them with sigtimedwait.
sigset_t BlockStopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  return set;
}

void WaitForEnd(const SbepSimulator& sim, const sigset_t& stopSignals, bool once) {
  const timespec step{0, kPollNs};
  while (sim.Running()) {
    if (sigtimedwait(&stopSignals, nullptr, &step) > 0) return;
    if (once && sim.Counters().endOfJobs > 0) {
      const timespec grace{0, kOnceGraceNs};
      nanosleep(&grace, nullptr);
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  SimArgs args;
  std::string error;
  if (!ParseArgs(std::vector<std::string>(argv + 1, argv + argc), args, error)) {
    std::fprintf(stderr, "sbep-sim: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (args.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  args.options.log = [](const std::string& line) { std::fprintf(stderr, "sbep-sim: %s\n", line.c_str()); };

  const sigset_t stopSignals = BlockStopSignals();
  SbepSimulator sim(args.options);
  for (const ArmedFault& f : args.faults) sim.Arm(f.opcode, f.attempt, f.kind, f.param);
  if (!sim.Start()) {
    std::fprintf(stderr, "sbep-sim: %s\n", sim.Error().c_str());
    return 1;
  }
  if (!args.link.empty() && !MakeLink(sim.DevicePath(), args.link)) return 1;
  std::printf("%s\n", sim.DevicePath().c_str());
  std::fflush(stdout);

  WaitForEnd(sim, stopSignals, args.once);
  sim.Stop();
  if (!args.link.empty()) unlink(args.link.c_str());
  std::fprintf(stderr, "sbep-sim: stopped, model number %s\n", sim.Model().c_str());
  return 0;
}
