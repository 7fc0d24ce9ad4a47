// patcher-tool: makes and reads patcher.dat, the kit's enciphered
// configuration file, under the key that the kit carries.
//
//   patcher-tool encipher IN OUT    plain text -> patcher.dat
//   patcher-tool decipher IN [OUT]  patcher.dat -> plain text (stdout by default)
//
// Exit status: 0 done, 1 failure, 2 bad usage.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Blowfish.h"
#include "res/StringTable.h"

namespace {

constexpr int kFailure = 1;
constexpr int kBadUsage = 2;
constexpr std::size_t kBlockSize = 8;

constexpr const char* kUsage =
    "Usage: patcher-tool encipher IN OUT\n"
    "       patcher-tool decipher IN [OUT]\n"
    "       patcher-tool --help | --version\n"
    "\n"
    "encipher  enciphers the plain text IN into OUT, a patcher.dat for the kit;\n"
    "          the last block is padded with zero bytes to a multiple of 8.\n"
    "decipher  deciphers the patcher.dat IN, byte for byte (padding included),\n"
    "          into OUT or to standard output.\n";

using Bytes = std::vector<unsigned char>;

void Fail(const std::string& path, const std::string& problem)
{
    std::fprintf(stderr, "patcher-tool: %s: %s\n", path.c_str(), problem.c_str());
}

std::optional<Bytes> ReadAll(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        Fail(path, std::strerror(errno));
        return std::nullopt;
    }
    Bytes bytes;
    unsigned char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        Fail(path, "read failed");
        return std::nullopt;
    }
    return bytes;
}

bool WriteAll(const std::optional<std::string>& path, const Bytes& bytes)
{
    std::FILE* file = path ? std::fopen(path->c_str(), "wb") : stdout;
    const std::string name = path ? *path : "standard output";
    if (file == nullptr) {
        Fail(name, std::strerror(errno));
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = (path ? std::fclose(file) : std::fflush(file)) == 0 && ok;
    if (!ok)
        Fail(name, "write failed");
    return ok;
}

CBlowfish KitCipher()
{
    const std::string key = ResString(IDS_CONFIG_KEY);
    CBlowfish cipher;
    cipher.Initialize(reinterpret_cast<const unsigned char*>(key.data()), key.size());
    return cipher;
}

int Encipher(const std::string& in, const std::string& out)
{
    std::optional<Bytes> bytes = ReadAll(in);
    if (!bytes)
        return kFailure;
    if (bytes->empty()) {
        Fail(in, "is empty; the kit refuses an empty patcher.dat");
        return kFailure;
    }
    bytes->resize((bytes->size() + kBlockSize - 1) / kBlockSize * kBlockSize, 0);
    KitCipher().Encipher(bytes->data(), bytes->size());
    return WriteAll(out, *bytes) ? 0 : kFailure;
}

int Decipher(const std::string& in, const std::optional<std::string>& out)
{
    std::optional<Bytes> bytes = ReadAll(in);
    if (!bytes)
        return kFailure;
    if (bytes->empty() || bytes->size() % kBlockSize != 0) {
        Fail(in, "size " + std::to_string(bytes->size()) + " is not a positive multiple of 8 bytes");
        return kFailure;
    }
    KitCipher().Decipher(bytes->data(), bytes->size());
    return WriteAll(out, *bytes) ? 0 : kFailure;
}

int BadUsage(const char* problem)
{
    std::fprintf(stderr, "patcher-tool: %s\n%s", problem, kUsage);
    return kBadUsage;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty())
        return BadUsage("no command given");

    const std::string_view command = args[0];
    const std::size_t operands = args.size() - 1;
    if (command == "--help" && operands == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version" && operands == 0) {
        std::printf("patcher-tool %s\n", CORVANE_VERSION);
        return 0;
    }
    if (command == "encipher" && operands == 2)
        return Encipher(argv[2], argv[3]);
    if (command == "decipher" && (operands == 1 || operands == 2))
        return Decipher(argv[2], operands == 2 ? std::optional<std::string>(argv[3]) : std::nullopt);
    return BadUsage("unknown command or wrong number of operands");
}
