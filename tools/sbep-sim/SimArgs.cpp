#include "SimArgs.h"

#include <charconv>
#include <string_view>

namespace sbepsim {

const char* const kUsage =
    "usage: sbep-sim [--no-echo] [--model TEXT] [--ack HEX] [--pace[=BAUD]]\n"
    "                [--fault OPCODE:ATTEMPT:KIND[:PARAM]]... [--link PATH] [--once]\n"
    "\n"
    "Plays a radio behind a radio interface box on a pseudo-terminal. Prints the\n"
    "device path on one line and runs until SIGINT or SIGTERM.\n"
    "\n"
    "  --no-echo        the interface box does not echo the bytes it is sent\n"
    "  --model TEXT     the radio's model number (default 1ABC)\n"
    "  --ack HEX        the acknowledgement byte (default 50; 60 acknowledges negatively)\n"
    "  --pace[=BAUD]    send every byte at the character time of BAUD (default 9600)\n"
    "  --fault OPCODE:ATTEMPT:KIND[:PARAM]\n"
    "                   arm a fault; OPCODE hex, ATTEMPT 1-based or 'every',\n"
    "                   KIND silence|nak|bad-checksum|cut|unsupported|wrong-item|\n"
    "                   refuse|echo-mismatch|hangup|trickle, PARAM a number:\n"
    "                   refuse: the status byte; echo-mismatch: the byte index;\n"
    "                   hangup: answer bytes sent before the line closes;\n"
    "                   trickle: milliseconds per reply byte (default 300)\n"
    "  --link PATH      also make PATH a symbolic link to the device\n"
    "  --once           stop after the first end-of-job request\n"
    "  --help           this text\n";

namespace {

bool ParseNumber(std::string_view text, unsigned& value, int base, unsigned max) {
  if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) text.remove_prefix(2);
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return ec == std::errc() && end == text.data() + text.size() && value <= max;
}

bool ParseByte(std::string_view text, std::uint8_t& value) {
  unsigned number = 0;
  if (!ParseNumber(text, number, 16, 0xFF)) return false;
  value = static_cast<std::uint8_t>(number);
  return true;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at; (at = text.find(separator)) != std::string_view::npos;) {
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  parts.push_back(text);
  return parts;
}

}  // namespace

bool ParseFault(const std::string& text, ArmedFault& out) {
  const auto parts = Split(text, ':');
  if (parts.size() != 3 && parts.size() != 4) return false;
  ArmedFault fault;
  if (!ParseByte(parts[0], fault.opcode)) return false;
  if (parts[1] != "every" && !ParseNumber(parts[1], fault.attempt, 10, 1'000'000)) return false;
  const auto kind = ParseFaultKind(parts[2]);
  if (!kind) return false;
  fault.kind = *kind;
  if (parts.size() == 4 && !ParseNumber(parts[3], fault.param, 10, 3'600'000)) return false;
  out = fault;
  return true;
}

bool ParseArgs(const std::vector<std::string>& args, SimArgs& out, std::string& error) {
  SimArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    std::string text;
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--no-echo") {
      parsed.options.echo = false;
    } else if (arg == "--once") {
      parsed.once = true;
    } else if (arg == "--model") {
      ok = value(parsed.options.model) && parsed.options.model.size() <= kMaxModelLength;
    } else if (arg == "--link") {
      ok = value(parsed.link) && !parsed.link.empty();
    } else if (arg == "--ack") {
      ok = value(text) && ParseByte(text, parsed.options.ack);
    } else if (arg == "--pace") {
      parsed.options.paceBaud = 9600;
    } else if (arg.starts_with("--pace=")) {
      ok = ParseNumber(std::string_view(arg).substr(7), parsed.options.paceBaud, 10, 10'000'000) &&
           parsed.options.paceBaud != 0;
    } else if (arg == "--fault") {
      ArmedFault fault;
      ok = value(text) && ParseFault(text, fault);
      if (ok) parsed.faults.push_back(fault);
    } else {
      error = "unknown argument: " + arg;
      return false;
    }
    if (!ok) {
      error = "bad or missing value for " + arg + (text.empty() ? "" : ": " + text);
      return false;
    }
  }
  out = std::move(parsed);
  return true;
}

}  // namespace sbepsim
