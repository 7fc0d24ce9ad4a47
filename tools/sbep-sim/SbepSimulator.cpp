#include "SbepSimulator.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "SimFrame.h"
#include "SimLine.h"

namespace sbepsim {

namespace {

constexpr std::uint8_t kNak = 0x60;
constexpr std::uint8_t kEndOfJob = 0x10;
constexpr std::uint8_t kUpdateSerial = 0x18;
constexpr std::uint8_t kRadioStatus = 0x23;
constexpr std::uint8_t kUnsupportedReply = 0x86;
constexpr std::uint8_t kUpdateReply = 0x87;
constexpr std::uint8_t kStatusReply = 0x8B;
constexpr std::uint8_t kModelItem = 2;
constexpr int kPartialFrameSilenceMs = 1000;
constexpr unsigned kDefaultTrickleMs = 300;
constexpr unsigned kHangUpDrainMs = 2000;

struct NamedFault {
  SimFault fault;
  const char* name;
};
constexpr std::array<NamedFault, 10> kFaultNames{{
    {SimFault::Silence, "silence"},
    {SimFault::Nak, "nak"},
    {SimFault::BadChecksum, "bad-checksum"},
    {SimFault::CutAfterHeader, "cut"},
    {SimFault::Unsupported, "unsupported"},
    {SimFault::WrongItem, "wrong-item"},
    {SimFault::UpdateRefused, "refuse"},
    {SimFault::EchoMismatch, "echo-mismatch"},
    {SimFault::HangUp, "hangup"},
    {SimFault::Trickle, "trickle"},
}};

struct Armed {
  SimFault kind;
  unsigned param;
};

// A request being collected, or complete, with the fault armed for it.
struct Request {
  Bytes bytes;
  std::optional<Armed> fault;
  unsigned attempt = 0;

  bool Has(SimFault kind) const { return fault && fault->kind == kind; }
};

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

std::string OpcodeText(std::uint8_t opcode) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", opcode);
  return text;
}

}  // namespace

const char* FaultName(SimFault fault) {
  for (const auto& entry : kFaultNames)
    if (entry.fault == fault) return entry.name;
  return "?";
}

std::optional<SimFault> ParseFaultKind(std::string_view name) {
  for (const auto& entry : kFaultNames)
    if (name == entry.name) return entry.fault;
  return std::nullopt;
}

struct SbepSimulator::Impl {
  explicit Impl(SimOptions o) : options(std::move(o)), model(options.model.substr(0, kMaxModelLength)) {}

  // Set up by Start, then read-only.
  SimOptions options;
  std::string error;
  std::string device;
  int master = -1;
  int slave = -1;
  int wake[2] = {-1, -1};
  std::thread thread;
  std::atomic<bool> running{false};

  // Shared with the thread, under `mutex`.
  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  std::map<std::pair<std::uint8_t, unsigned>, Armed> faults;
  std::vector<Bytes> frames;
  std::string model;
  SimCounters counters;

  // The thread's own.
  std::map<std::uint8_t, unsigned> attempts;
  Request partial;
  bool headerEchoHeld = false;
  bool hungUp = false;

  bool OpenTerminal();
  void Run(SimLine& line);
  void Receive(SimLine& line, const std::uint8_t* data, std::size_t count);
  void EchoByte(std::size_t index, Bytes& echo);
  void DropPartial(SimLine& line);
  void BeginRequest();
  void Respond(SimLine& line, const Request& request);
  Bytes Reply(const Request& request);
  unsigned Spoil(const Request& request, Bytes& reply);
  void SendAck(SimLine& line, std::uint8_t byte);
  void HangUp(SimLine& line);

  std::optional<Armed> FaultFor(std::uint8_t opcode, unsigned attempt) const;
  bool HeaderEchoFaultArmed() const;
  void NoteFault(const Request& request);
  void Count(unsigned SimCounters::*counter, unsigned by = 1);
  void Log(const std::string& line) const {
    if (options.log) options.log(line);
  }
};

SbepSimulator::SbepSimulator(SimOptions options) : impl(std::make_unique<Impl>(std::move(options))) {}

SbepSimulator::~SbepSimulator() { Stop(); }

const std::string& SbepSimulator::Error() const { return impl->error; }
const std::string& SbepSimulator::DevicePath() const { return impl->device; }

bool SbepSimulator::Start() {
  if (impl->thread.joinable() || impl->master >= 0) {
    impl->error = "the simulator is already started";
    return false;
  }
  if (!impl->OpenTerminal()) {
    Stop();
    return false;
  }
  impl->running = true;
  impl->thread = std::thread([this] {
    SimLine line(impl->master, impl->wake[0], impl->options.paceBaud);
    impl->Run(line);
  });
  return true;
}

void SbepSimulator::Stop() {
  if (impl->thread.joinable()) {
    const char byte = 1;
    if (write(impl->wake[1], &byte, 1) < 0) impl->error = SystemError("wake-up");
    impl->thread.join();
  }
  impl->running = false;
  CloseFd(impl->master);
  CloseFd(impl->slave);
  CloseFd(impl->wake[0]);
  CloseFd(impl->wake[1]);
}

void SbepSimulator::Arm(std::uint8_t opcode, unsigned attempt, SimFault fault, unsigned param) {
  std::lock_guard lock(impl->mutex);
  impl->faults[{opcode, attempt}] = Armed{fault, param};
}

void SbepSimulator::Disarm() {
  std::lock_guard lock(impl->mutex);
  impl->faults.clear();
}

std::vector<std::vector<std::uint8_t>> SbepSimulator::Frames() const {
  std::lock_guard lock(impl->mutex);
  return impl->frames;
}

bool SbepSimulator::WaitForFrames(std::size_t count, unsigned timeoutMs) const {
  std::unique_lock lock(impl->mutex);
  impl->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [&] { return impl->frames.size() >= count || !impl->running; });
  return impl->frames.size() >= count;
}

std::string SbepSimulator::Model() const {
  std::lock_guard lock(impl->mutex);
  return impl->model;
}

SimCounters SbepSimulator::Counters() const {
  std::lock_guard lock(impl->mutex);
  return impl->counters;
}

bool SbepSimulator::Running() const { return impl->running; }

// ---------------------------------------------------------------------------

bool SbepSimulator::Impl::OpenTerminal() {
  master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) return error = SystemError("posix_openpt"), false;
  if (grantpt(master) != 0) return error = SystemError("grantpt"), false;
  if (unlockpt(master) != 0) return error = SystemError("unlockpt"), false;
  char name[128];
  if (ptsname_r(master, name, sizeof name) != 0) return error = SystemError("ptsname_r"), false;
  device = name;
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

  // Held open so that the master sees no hang-up while the kit has the device closed.
  slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) return error = SystemError("open slave"), false;
  termios raw{};
  if (tcgetattr(slave, &raw) != 0) return error = SystemError("tcgetattr"), false;
  cfmakeraw(&raw);
  cfsetspeed(&raw, B9600);
  raw.c_cflag |= CLOCAL | CREAD;
  if (tcsetattr(slave, TCSANOW, &raw) != 0) return error = SystemError("tcsetattr"), false;

  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return error = SystemError("pipe2"), false;
  return true;
}

void SbepSimulator::Impl::Run(SimLine& line) {
  std::uint8_t buffer[512];
  while (!hungUp) {
    pollfd p[2] = {{master, POLLIN, 0}, {wake[0], POLLIN, 0}};
    const int ready = poll(p, 2, partial.bytes.empty() ? -1 : kPartialFrameSilenceMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || p[1].revents != 0) break;
    if (ready == 0) {
      DropPartial(line);
      continue;
    }
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) {
      Receive(line, buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      Log("line closed: " + (n == 0 ? std::string("end of file") : SystemError("read")));
      break;
    }
  }
  std::lock_guard lock(mutex);
  running = false;
  changed.notify_all();
}

void SbepSimulator::Impl::Receive(SimLine& line, const std::uint8_t* data, std::size_t count) {
  Bytes echo;
  std::vector<Request> complete;
  for (std::size_t i = 0; i < count; ++i) {
    partial.bytes.push_back(data[i]);
    const std::size_t index = partial.bytes.size() - 1;
    if (index == 1) BeginRequest();
    EchoByte(index, echo);
    if (partial.bytes.size() == FrameLength(partial.bytes)) {
      Log("<- " + Hex(partial.bytes));
      {
        std::lock_guard lock(mutex);
        frames.push_back(partial.bytes);
        ++counters.framesReceived;
        changed.notify_all();
      }
      complete.push_back(std::move(partial));
      partial = Request{};
    }
  }
  // The RIB echoes every byte before the radio answers any of them. The echo
  // and the answers go out in one write where nothing has to wait between
  // them, so that the kit, once it has the echo, has the answer too.
  line.Queue(echo);
  for (const Request& request : complete) {
    Respond(line, request);
    if (hungUp) return;
  }
  line.Flush();
}

void SbepSimulator::Impl::BeginRequest() {
  const std::uint8_t opcode = partial.bytes[1];
  partial.attempt = ++attempts[opcode];
  partial.fault = FaultFor(opcode, partial.attempt);
}

void SbepSimulator::Impl::EchoByte(std::size_t index, Bytes& echo) {
  if (!options.echo) return;
  // Which request a header byte starts is known only with the opcode after it;
  // hold its echo back only when a fault may have to spoil it.
  if (index == 0 && HeaderEchoFaultArmed()) {
    headerEchoHeld = true;
    return;
  }
  const auto echoOf = [&](std::size_t i) {
    std::uint8_t b = partial.bytes[i];
    if (partial.Has(SimFault::EchoMismatch) && partial.fault->param == i) {
      NoteFault(partial);
      b = static_cast<std::uint8_t>(~b);
    }
    return b;
  };
  if (index == 1 && headerEchoHeld) {
    echo.push_back(echoOf(0));
    headerEchoHeld = false;
  }
  echo.push_back(echoOf(index));
}

void SbepSimulator::Impl::DropPartial(SimLine& line) {
  Log("dropped partial frame " + Hex(partial.bytes));
  if (headerEchoHeld) line.Send({partial.bytes[0]});
  headerEchoHeld = false;
  Count(&SimCounters::droppedBytes, static_cast<unsigned>(partial.bytes.size()));
  partial = Request{};
}

void SbepSimulator::Impl::Respond(SimLine& line, const Request& request) {
  const bool hangUp = request.Has(SimFault::HangUp);
  if (hangUp && request.fault->param == 0) {
    NoteFault(request);
    HangUp(line);
    return;
  }
  if (!ChecksumOk(request.bytes)) {
    Count(&SimCounters::badChecksums);
    SendAck(line, kNak);
    return;
  }
  if (request.Has(SimFault::Silence) || request.Has(SimFault::Nak)) {
    NoteFault(request);
    if (request.Has(SimFault::Nak)) SendAck(line, kNak);
    return;
  }
  if (request.bytes[1] == kEndOfJob) Count(&SimCounters::endOfJobs);
  SendAck(line, options.ack);

  Bytes reply = hangUp && request.fault->param == 1 ? Bytes{} : Reply(request);
  const unsigned gapMs = Spoil(request, reply);
  if (!reply.empty()) {
    Log("-> " + Hex(reply));
    // Counted first: whoever has read the reply finds it counted.
    Count(&SimCounters::replies);
    if (gapMs == 0)
      line.Queue(reply);
    else if (!line.Send(reply, gapMs))
      return;
  }
  if (hangUp) {
    NoteFault(request);
    HangUp(line);
  }
}

unsigned SbepSimulator::Impl::Spoil(const Request& request, Bytes& reply) {
  if (reply.empty() || !request.fault) return 0;
  const unsigned param = request.fault->param;
  switch (request.fault->kind) {
    case SimFault::BadChecksum:
      reply.back() = static_cast<std::uint8_t>(~reply.back());
      break;
    case SimFault::CutAfterHeader:
      reply.resize(1);
      break;
    case SimFault::HangUp:
      reply.resize(std::min<std::size_t>(reply.size(), param - 1));
      return 0;  // noted when the line is closed
    case SimFault::Trickle:
      NoteFault(request);
      return param != 0 ? param : kDefaultTrickleMs;
    default:
      return 0;
  }
  NoteFault(request);
  return 0;
}

Bytes SbepSimulator::Impl::Reply(const Request& request) {
  const std::uint8_t opcode = request.bytes[1];
  const Bytes data = FrameData(request.bytes);
  if (request.Has(SimFault::Unsupported)) {
    NoteFault(request);
    return BuildFrame(kUnsupportedReply, {opcode});
  }
  switch (opcode) {
    case kEndOfJob:
      return {};
    case kRadioStatus: {
      std::uint8_t item = data.empty() ? 0 : data[0];
      if (request.Has(SimFault::WrongItem)) {
        NoteFault(request);
        ++item;
      }
      Bytes body{item};
      const std::string text = [&] { std::lock_guard lock(mutex); return model; }();
      body.insert(body.end(), text.begin(), text.end());
      return BuildFrame(kStatusReply, body);
    }
    case kUpdateSerial: {
      if (request.Has(SimFault::UpdateRefused)) {
        NoteFault(request);
        return BuildFrame(kUpdateReply, {static_cast<std::uint8_t>(request.fault->param ? request.fault->param : 1)});
      }
      if (data.empty() || data[0] != kModelItem) return BuildFrame(kUpdateReply, {1});
      {
        std::lock_guard lock(mutex);
        model.assign(data.begin() + 1, data.end());
      }
      return BuildFrame(kUpdateReply, {0});
    }
    default:
      return BuildFrame(kUnsupportedReply, {opcode});
  }
}

void SbepSimulator::Impl::SendAck(SimLine& line, std::uint8_t byte) {
  Log("-> " + Hex({byte}));
  Count(byte == kNak ? &SimCounters::naks : &SimCounters::acks);
  line.Queue({byte});
}

void SbepSimulator::Impl::HangUp(SimLine& line) {
  // Closing the master discards what the kit has not read yet, so the answer
  // sent so far is first given time to be taken in (or the kit time to read).
  line.Flush();
  line.WaitUntilRead(slave, kHangUpDrainMs);
  Log("hang-up: closing the line");
  // The thread owns the descriptors until it ends; Stop only closes what is left.
  CloseFd(master);
  CloseFd(slave);
  hungUp = true;
}

std::optional<Armed> SbepSimulator::Impl::FaultFor(std::uint8_t opcode, unsigned attempt) const {
  std::lock_guard lock(mutex);
  for (unsigned key : {attempt, 0u}) {
    const auto found = faults.find({opcode, key});
    if (found != faults.end()) return found->second;
  }
  return std::nullopt;
}

bool SbepSimulator::Impl::HeaderEchoFaultArmed() const {
  std::lock_guard lock(mutex);
  for (const auto& [key, armed] : faults)
    if (armed.kind == SimFault::EchoMismatch && armed.param == 0) return true;
  return false;
}

void SbepSimulator::Impl::NoteFault(const Request& request) {
  Log(std::string("fault ") + FaultName(request.fault->kind) + " on " + OpcodeText(request.bytes[1]) +
      " attempt " + std::to_string(request.attempt));
  Count(&SimCounters::faults);
}

void SbepSimulator::Impl::Count(unsigned SimCounters::*counter, unsigned by) {
  std::lock_guard lock(mutex);
  counters.*counter += by;
}

}  // namespace sbepsim
