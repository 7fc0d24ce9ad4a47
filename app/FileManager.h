// Reads the enciphered configuration file patcher.dat: deciphers it whole and
// answers questions about its sections, lines and comma-separated fields.
// No read ever goes past the deciphered text; what lies beyond it is empty.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

class FileManager {
public:
    FileManager();
    virtual ~FileManager();
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    // Opens "patcher.dat" in the current directory for reading, only if it
    // exists. The file stays open until the FileManager is destroyed.
    bool OpenConfig();
    // Reads and deciphers the whole file. False for a size of 0 or not a
    // multiple of 8.
    bool LoadConfig();
    void FindSection(const std::string& name);
    void GetLine(unsigned n, std::string& out);
    void GetField(unsigned n, unsigned k, std::string& out);
    std::string GetProductLine();

    // The deciphered text (fileSize bytes), for tools and tests.
    const unsigned char* Text() const { return text_; }
    std::uint32_t Size() const { return fileSize_; }

private:
    // The bytes from the cursor up to the first of `stops` or the end.
    std::string TextUpTo(std::string_view stops) const;
    // Moves the cursor past the line it is on.
    void SkipLine();
    // Puts the cursor at the start of line n of the current section.
    void GoToLine(unsigned n);

    std::uint32_t fileSize_ = 0;
    std::uint32_t cursor_ = 0;
    std::uint32_t sectionStart_ = 0;
    std::FILE* fileHandle_ = nullptr;
    unsigned char* text_ = nullptr;
};
