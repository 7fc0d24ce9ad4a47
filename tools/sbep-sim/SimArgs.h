// The command line of sbep-sim, parsed apart from main so that it can be tested.
#pragma once

#include <string>
#include <vector>

#include "SbepSimulator.h"

namespace sbepsim {

struct ArmedFault {
  std::uint8_t opcode = 0;
  unsigned attempt = 0;  // 0: every attempt
  SimFault kind = SimFault::Silence;
  unsigned param = 0;
};

struct SimArgs {
  SimOptions options;
  std::vector<ArmedFault> faults;
  std::string link;  // a symbolic link to make to the device, or empty
  bool once = false;
  bool help = false;
};

// Parses the arguments after the program name. False with `error` set on a
// bad argument.
bool ParseArgs(const std::vector<std::string>& args, SimArgs& out, std::string& error);

// OPCODE:ATTEMPT:KIND[:PARAM], OPCODE in hexadecimal, ATTEMPT a number or
// "every" (or 0), KIND a name of FaultName, PARAM a decimal number.
bool ParseFault(const std::string& text, ArmedFault& out);

extern const char* const kUsage;

}  // namespace sbepsim
