// The initial values of the Blowfish P-array and S-boxes (pi's hexadecimal
// digits), generated into BlowfishTables.cpp by make_blowfish_tables.py.
#pragma once

#include <cstdint>

extern const std::uint32_t kBlowfishInitP[18];
extern const std::uint32_t kBlowfishInitS[4][256];
