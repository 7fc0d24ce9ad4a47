#include "tests/config/ConfigTestSupport.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "app/Blowfish.h"
#include "res/StringTable.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

CScopedTempDir::CScopedTempDir() : saved_(fs::current_path())
{
    std::random_device random;
    for (;;) {
        dir_ = fs::temp_directory_path() / ("corvane-config-" + std::to_string(random()));
        if (fs::create_directory(dir_))
            break;
    }
    fs::current_path(dir_);
}

CScopedTempDir::~CScopedTempDir()
{
    std::error_code ignored;
    fs::current_path(saved_, ignored);
    fs::remove_all(dir_, ignored);
}

void WriteFile(const std::string& name, const std::string& bytes)
{
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << name;
}

std::string ReadFile(const std::string& name)
{
    std::ifstream file(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string KitKey()
{
    return ResString(IDS_CONFIG_KEY);
}

std::string Padded(std::string plain, char filler)
{
    plain.resize((plain.size() + 7) / 8 * 8, filler);
    return plain;
}

std::string KitEnciphered(const std::string& plain)
{
    std::string bytes = Padded(plain, '\n');
    const std::string key = KitKey();
    CBlowfish cipher;
    cipher.Initialize(reinterpret_cast<const unsigned char*>(key.data()), key.size());
    cipher.Encipher(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}

void WriteConfig(const std::string& plain)
{
    WriteFile("patcher.dat", KitEnciphered(plain));
}

std::string TestName(std::string what)
{
    for (char& ch : what)
        ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return what;
}

#ifdef _WIN32
namespace {

// A Windows build tested under wine knows the tool by its POSIX path, which
// wine reaches through drive Z:.
std::string ToolPath()
{
    std::string path = PATCHER_TOOL;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& ch : path)
        ch = ch == '/' ? '\\' : ch;
    return path;
}

// The tool writes its text output with Windows line ends.
std::string Unix(std::string text)
{
    std::string::size_type at = 0;
    while ((at = text.find("\r\n", at)) != std::string::npos)
        text.erase(at, 1);
    return text;
}

}  // namespace
#endif

ToolRun RunTool(const std::string& args)
{
#ifdef _WIN32
    const std::string command = "\"" + ToolPath() + "\" " + args + " >tool.out 2>tool.err";
    const int status = std::system(command.c_str());
    ToolRun run{status, Unix(ReadFile("tool.out")), Unix(ReadFile("tool.err"))};
#else
    const std::string command = std::string("\"") + PATCHER_TOOL + "\" " + args + " >tool.out 2>tool.err";
    int status = std::system(command.c_str());
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ToolRun run{status, ReadFile("tool.out"), ReadFile("tool.err")};
#endif
    fs::remove("tool.out");
    fs::remove("tool.err");
    return run;
}
