// FileManager over arbitrary deciphered text.
//
// Input: byte 0 the line number, byte 1 the field number, byte 2 the section
// to look for, then the plain text. The text is padded with NUL bytes to a
// whole number of blocks, enciphered under the kit's key and written as
// patcher.dat in a private directory, so that FileManager reads it exactly as
// it reads the real file. The private directory is current only while an
// input runs, so that libFuzzer's own paths keep their meaning.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/Blowfish.h"
#include "app/FileManager.h"
#include "fuzz/FuzzCheck.h"
#include "res/StringTable.h"

namespace {

constexpr std::size_t kControlBytes = 3;
constexpr std::string_view kKnownSections[] = {"", "PRODUCT_LINE", "PATCH-D01.01.05",
                                                "RADIO_GROUP_REGION"};

std::filesystem::path workDir;

// Makes the private directory current for its life.
class CInWorkDir {
public:
    CInWorkDir() : saved_(std::filesystem::current_path()) { std::filesystem::current_path(workDir); }
    ~CInWorkDir() { std::filesystem::current_path(saved_); }
    CInWorkDir(const CInWorkDir&) = delete;
    CInWorkDir& operator=(const CInWorkDir&) = delete;

private:
    std::filesystem::path saved_;
};

void RemoveWorkDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(workDir, ignored);
}

const CBlowfish& KitCipher()
{
    static const CBlowfish cipher = [] {
        const std::string key = ResString(IDS_CONFIG_KEY);
        CBlowfish c;
        c.Initialize(reinterpret_cast<const unsigned char*>(key.data()), key.size());
        return c;
    }();
    return cipher;
}

// Writes `plain`, NUL-padded and enciphered, as patcher.dat; returns its size.
std::size_t WriteConfig(const std::uint8_t* plain, std::size_t length)
{
    std::string bytes(reinterpret_cast<const char*>(plain), length);
    bytes.resize((length + 7) / 8 * 8, '\0');
    KitCipher().Encipher(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    std::FILE* file = std::fopen("patcher.dat", "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    std::fclose(file);
    return bytes.size();
}

bool HasAny(const std::string& text, std::string_view bytes)
{
    return text.find_first_of(bytes.data(), 0, bytes.size()) != std::string::npos;
}

// What every read must give: no more than the text, and none of the bytes
// that end it.
void CheckRead(const std::string& out, std::size_t textSize, std::string_view ends)
{
    FUZZ_CHECK(out.size() <= textSize);
    FUZZ_CHECK(!HasAny(out, ends));
    FUZZ_CHECK(out.find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/corvane-fuzz-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern) != nullptr);
    workDir = pattern;
    std::atexit(RemoveWorkDir);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kControlBytes) return 0;
    const unsigned line = data[0];
    const unsigned field = data[1];
    const unsigned section = data[2];
    const CInWorkDir inWorkDir;
    const std::size_t fileSize = WriteConfig(data + kControlBytes, size - kControlBytes);

    FileManager config;
    FUZZ_CHECK(config.OpenConfig());
    const bool loaded = config.LoadConfig();
    FUZZ_CHECK(loaded == (fileSize != 0));
    if (!loaded) return 0;
    FUZZ_CHECK(std::equal(config.Text(), config.Text() + size - kControlBytes, data + kControlBytes));

    // A known section, or one named by a line of the text itself.
    std::string name;
    if (section < std::size(kKnownSections)) {
        name = kKnownSections[section];
    } else {
        config.FindSection("");
        config.GetLine(section - std::size(kKnownSections), name);
    }
    config.FindSection(name);

    std::string first;
    std::string out;
    config.GetLine(0, first);
    config.GetLine(1, out);
    FUZZ_CHECK(first == out);
    config.GetLine(line, out);
    CheckRead(out, fileSize, "\r\n");
    config.GetField(line, field, out);
    CheckRead(out, fileSize, ",\r\n");
    CheckRead(config.GetProductLine(), fileSize, ",\r\n");
    return 0;
}
