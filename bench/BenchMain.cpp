// Runs every benchmark and prints one table. With names as arguments, runs
// only those groups (job, cipher).
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "bench/Benchmarks.h"

namespace {

struct Group {
    const char* name;
    std::function<BenchRows()> run;
};

const Group kGroups[] = {
    {"job", JobBenchmarks},
    {"cipher", CipherBenchmarks},
};

bool Wanted(const char* name, int argc, char** argv)
{
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    BenchRows rows;
    for (const Group& group : kGroups) {
        if (!Wanted(group.name, argc, argv)) continue;
        std::fprintf(stderr, "running %s...\n", group.name);
        BenchRows more = group.run();
        rows.insert(rows.end(), more.begin(), more.end());
    }
    PrintTable(rows);
    return 0;
}
