// The sbep-sim program, run as a child process.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>

#include "RawPort.h"

namespace {

const Bytes kEndOfJob{0xF1, 0x10, 0xFE};
// How long the program may take to start, print or end on a busy machine;
// every wait ends as soon as it has what it waits for.
constexpr int kPatientMs = 30000;
const Bytes kStatus0{0xF2, 0x23, 0x00, 0xEA};

struct TempFolder {
  TempFolder() {
    char name[] = "/tmp/sbep-sim-test-XXXXXX";
    path = mkdtemp(name) ? name : "/tmp";
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
  std::string path;
};

// sbep-sim as a child process; its stderr goes to a file in a folder of its own.
class Program {
 public:
  explicit Program(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      if (!std::freopen(LogPath().c_str(), "w", stderr)) _exit(126);
      close(out[0]);
      std::vector<char*> argv{const_cast<char*>(SBEP_SIM_PROGRAM)};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(SBEP_SIM_PROGRAM, argv.data());
      _exit(127);
    }
    close(out[1]);
    stdoutFd = out[0];
  }
  ~Program() {
    if (pid > 0 && Wait(0) == kRunning) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (stdoutFd >= 0) close(stdoutFd);
  }

  static constexpr int kRunning = -2;

  std::string LogPath() const { return folder.path + "/log"; }

  // What the program prints on stdout: its first line, or everything.
  std::string Output(int timeoutMs, bool lineOnly = true) const {
    std::string text;
    for (;;) {
      pollfd p{stdoutFd, POLLIN, 0};
      char c;
      if (poll(&p, 1, timeoutMs) <= 0 || read(stdoutFd, &c, 1) != 1) return text;
      if (lineOnly && c == '\n') return text;
      text += c;
    }
  }

  // The exit status, -1 for an abnormal end, kRunning while still running after `timeoutMs`.
  int Wait(int timeoutMs) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (SecondsSince(start) * 1000 >= timeoutMs) return kRunning;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::string Log() const {
    std::ifstream in(LogPath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  pid_t pid = -1;

 private:
  TempFolder folder;
  int stdoutFd = -1;
};

TEST(SimProgram, OnceStopsAfterTheEndOfJobAndRemovesTheLink) {
  TempFolder folder;
  const std::string link = folder.path + "/radio";
  Program sim({"--no-echo", "--once", "--link", link});
  const std::string device = sim.Output(kPatientMs);
  ASSERT_FALSE(device.empty());
  char target[PATH_MAX] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(device, target);

  RawPort port(link);
  ASSERT_TRUE(port.IsOpen());
  port.Send(kStatus0);
  EXPECT_EQ(port.Read(9).size(), 9u);
  port.Send(kEndOfJob);
  EXPECT_EQ(port.Read(1), Bytes{0x50});

  EXPECT_EQ(sim.Wait(kPatientMs), 0);
  EXPECT_NE(access(link.c_str(), F_OK), 0);
  const std::string log = sim.Log();
  EXPECT_NE(log.find("<- F1 10 FE"), std::string::npos) << log;
  EXPECT_NE(log.find("-> F6 8B 00 31 41 42 43 87"), std::string::npos) << log;
}

TEST(SimProgram, RefusesToReplaceAFileWithItsLink) {
  TempFolder folder;
  const std::string file = folder.path + "/radio";
  std::ofstream(file) << "keep";
  Program sim({"--link", file});
  EXPECT_EQ(sim.Wait(kPatientMs), 1);
  std::ifstream in(file);
  std::string kept;
  in >> kept;
  EXPECT_EQ(kept, "keep");
}

TEST(SimProgram, RunsUntilTerminatedAndArmsFaults) {
  Program sim({"--fault", "23:1:nak", "--model", "7QRS"});
  const std::string device = sim.Output(kPatientMs);
  RawPort port(device);
  ASSERT_TRUE(port.IsOpen()) << device;
  port.Send(kStatus0);
  EXPECT_EQ(port.ReadExpected(5), (Bytes{0xF2, 0x23, 0x00, 0xEA, 0x60}));
  port.Send(kEndOfJob);
  EXPECT_EQ(port.ReadExpected(4), (Bytes{0xF1, 0x10, 0xFE, 0x50}));
  EXPECT_EQ(sim.Wait(300), Program::kRunning);

  kill(sim.pid, SIGTERM);
  EXPECT_EQ(sim.Wait(kPatientMs), 0);
  EXPECT_NE(sim.Log().find("model number 7QRS"), std::string::npos);
}

TEST(SimProgram, EndsItselfAfterAHangUp) {
  Program sim({"--fault", "10:every:hangup:1"});
  RawPort port(sim.Output(kPatientMs));
  ASSERT_TRUE(port.IsOpen());
  port.Send(kEndOfJob);
  EXPECT_EQ(port.Read(4), (Bytes{0xF1, 0x10, 0xFE, 0x50}));
  EXPECT_EQ(sim.Wait(kPatientMs), 0);
}

TEST(SimProgram, HelpAndBadArguments) {
  Program help({"--help"});
  EXPECT_NE(help.Output(kPatientMs, false).find("usage: sbep-sim"), std::string::npos);
  EXPECT_EQ(help.Wait(kPatientMs), 0);

  Program bad({"--fault", "23:1:explode"});
  EXPECT_EQ(bad.Wait(kPatientMs), 2);
  EXPECT_NE(bad.Log().find("--fault"), std::string::npos);
}

}  // namespace
