// The kit's cipher against OpenSSL's Blowfish on the same buffer in the same
// run: deciphering throughput and the key schedule.
#include <openssl/blowfish.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/Blowfish.h"
#include "bench/Benchmarks.h"
#include "res/StringTable.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kBufferBytes = 1 << 20;
constexpr int kRounds = 7;            // alternating rounds; the best of each counts
constexpr int kPassesPerRound = 8;    // buffer passes per round
constexpr int kKeySchedules = 400;    // per round

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The time that one run of `work` took.
double Timed(const std::function<void()>& work)
{
    const Clock::time_point start = Clock::now();
    work();
    return SecondsSince(start);
}

struct CipherFigures {
    double oursSeconds = std::numeric_limits<double>::max();
    double theirsSeconds = std::numeric_limits<double>::max();
    double oursKeySeconds = std::numeric_limits<double>::max();
    double theirsKeySeconds = std::numeric_limits<double>::max();
};

std::vector<unsigned char> RandomBuffer()
{
    std::vector<unsigned char> bytes(kBufferBytes);
    std::mt19937 random(7);
    std::generate(bytes.begin(), bytes.end(), [&] { return static_cast<unsigned char>(random()); });
    return bytes;
}

CipherFigures Measure()
{
    const std::string key = ResString(IDS_CONFIG_KEY);
    const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.data());
    std::vector<unsigned char> buffer = RandomBuffer();

    CBlowfish ours;
    ours.Initialize(keyBytes, key.size());
    BF_KEY theirs;
    BF_set_key(&theirs, static_cast<int>(key.size()), keyBytes);

    auto decipherOurs = [&] {
        for (int pass = 0; pass < kPassesPerRound; ++pass) ours.Decipher(buffer.data(), buffer.size());
    };
    auto decipherTheirs = [&] {
        for (int pass = 0; pass < kPassesPerRound; ++pass) {
            for (std::size_t at = 0; at < buffer.size(); at += 8)
                BF_ecb_encrypt(buffer.data() + at, buffer.data() + at, &theirs, BF_DECRYPT);
        }
    };
    auto scheduleOurs = [&] {
        for (int i = 0; i < kKeySchedules; ++i) {
            CBlowfish cipher;
            cipher.Initialize(keyBytes, key.size());
            buffer[i % 8] ^= static_cast<unsigned char>(cipher.Decipher(buffer.data(), 8));
        }
    };
    auto scheduleTheirs = [&] {
        for (int i = 0; i < kKeySchedules; ++i) {
            BF_KEY schedule;
            BF_set_key(&schedule, static_cast<int>(key.size()), keyBytes);
            BF_ecb_encrypt(buffer.data(), buffer.data(), &schedule, BF_DECRYPT);
        }
    };

    CipherFigures figures;
    for (int round = 0; round < kRounds; ++round) {
        figures.oursSeconds = std::min(figures.oursSeconds, Timed(decipherOurs));
        figures.theirsSeconds = std::min(figures.theirsSeconds, Timed(decipherTheirs));
        figures.oursKeySeconds = std::min(figures.oursKeySeconds, Timed(scheduleOurs));
        figures.theirsKeySeconds = std::min(figures.theirsKeySeconds, Timed(scheduleTheirs));
    }
    return figures;
}

double MegabytesPerSecond(double seconds)
{
    return double(kBufferBytes) * kPassesPerRound / seconds / 1e6;
}

double Microseconds(double seconds) { return seconds / kKeySchedules * 1e6; }

}  // namespace

BenchRows CipherBenchmarks()
{
    const CipherFigures f = Measure();
    const double ours = MegabytesPerSecond(f.oursSeconds);
    const double theirs = MegabytesPerSecond(f.theirsSeconds);
    const double ratio = ours / theirs;
    return {
        {"cipher: deciphering speed, ours / OpenSSL",
         Fixed(ratio, 2) + " (" + Fixed(ours, 1) + " vs " + Fixed(theirs, 1) + " MB/s)", ">= 1.00",
         Verdict(ratio >= 1.0)},
        {"cipher: key schedule, ours (OpenSSL)",
         Fixed(Microseconds(f.oursKeySeconds), 1) + " us (" + Fixed(Microseconds(f.theirsKeySeconds), 1) +
             " us)",
         "", ""},
    };
}
