// Helpers for the configuration tests: a temporary current directory,
// whole-file reads and writes, the kit's cipher, and runs of patcher-tool.
#pragma once

#include <filesystem>
#include <string>

// Makes a fresh temporary directory current for its life; restores the
// previous current directory and removes the temporary one afterwards.
class CScopedTempDir {
public:
    CScopedTempDir();
    ~CScopedTempDir();
    CScopedTempDir(const CScopedTempDir&) = delete;
    CScopedTempDir& operator=(const CScopedTempDir&) = delete;

    const std::filesystem::path& Path() const { return dir_; }

private:
    std::filesystem::path saved_;
    std::filesystem::path dir_;
};

void WriteFile(const std::string& name, const std::string& bytes);
std::string ReadFile(const std::string& name);

// The kit's key, string 142.
std::string KitKey();
// `plain` padded with `filler` to a multiple of 8 bytes.
std::string Padded(std::string plain, char filler);
// `plain` padded with LF and enciphered under the kit's key.
std::string KitEnciphered(const std::string& plain);
// Writes KitEnciphered(plain) as patcher.dat in the current directory.
void WriteConfig(const std::string& plain);

// A test name made of `what`: letters and digits kept, the rest '_'.
std::string TestName(std::string what);

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};
// Runs patcher-tool with `args` (already quoted where needed) in the
// current directory.
ToolRun RunTool(const std::string& args);
