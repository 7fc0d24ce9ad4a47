// The groups of benchmarks; each returns its rows of the table.
#pragma once

#include "bench/BenchTable.h"

BenchRows CipherBenchmarks();
BenchRows JobBenchmarks();
