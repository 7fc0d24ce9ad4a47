#include "app/FileManager.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string_view>
#include <system_error>

#include "app/Blowfish.h"
#include "res/StringTable.h"

namespace {

constexpr const char* kConfigName = "patcher.dat";
constexpr std::uint32_t kTextSlack = 10;  // zero bytes after the text
constexpr std::string_view kLineEnds = "\r\n";
constexpr std::string_view kFieldEnds = ",\r\n";

// The offset of the first byte at or after `from` that is one of `stops`,
// or `size` when there is none before the end of the text.
std::uint32_t FindAny(const unsigned char* text, std::uint32_t size, std::uint32_t from,
                      std::string_view stops)
{
    for (std::uint32_t at = from; at < size; ++at) {
        if (stops.find(static_cast<char>(text[at])) != std::string_view::npos)
            return at;
    }
    return size;
}

// The file's size, or nothing when it cannot be told or does not fit.
bool QuerySize(std::FILE* file, std::uint32_t& size)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long end = std::ftell(file);
    if (end < 0 || static_cast<unsigned long>(end) > std::numeric_limits<std::uint32_t>::max() - kTextSlack)
        return false;
    size = static_cast<std::uint32_t>(end);
    return std::fseek(file, 0, SEEK_SET) == 0;
}

}  // namespace

FileManager::FileManager() = default;

FileManager::~FileManager()
{
    if (fileHandle_ != nullptr)
        std::fclose(fileHandle_);
    delete[] text_;
}

bool FileManager::OpenConfig()
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(kConfigName, error))
        return false;
    if (fileHandle_ != nullptr)
        std::fclose(fileHandle_);
    fileHandle_ = std::fopen(kConfigName, "rb");
    return fileHandle_ != nullptr;
}

bool FileManager::LoadConfig()
{
    fileSize_ = 0;
    cursor_ = sectionStart_ = 0;
    delete[] text_;
    text_ = nullptr;

    std::uint32_t size = 0;
    if (fileHandle_ == nullptr || !QuerySize(fileHandle_, size) || size == 0 || size % 8 != 0)
        return false;

    text_ = new unsigned char[size + kTextSlack]();
    if (std::fread(text_, 1, size, fileHandle_) != size) {
        // A short read would decipher zeros as if they were the file.
        delete[] text_;
        text_ = nullptr;
        return false;
    }
    fileSize_ = size;

    const std::string key = ResString(IDS_CONFIG_KEY);
    CBlowfish cipher;
    cipher.Initialize(reinterpret_cast<const unsigned char*>(key.data()), key.size());
    cipher.Decipher(text_, fileSize_);
    return true;
}

std::string FileManager::TextUpTo(std::string_view stops) const
{
    // A text also ends at a NUL byte, as the texts of the file are C strings:
    // the zero bytes that fill the last block end its last line.
    const std::uint32_t end = FindAny(text_, fileSize_, cursor_, stops);
    const unsigned char* first = text_ + cursor_;
    const unsigned char* last = std::find(first, static_cast<const unsigned char*>(text_ + end), 0);
    return std::string(reinterpret_cast<const char*>(first), last - first);
}

void FileManager::SkipLine()
{
    const std::uint32_t end = FindAny(text_, fileSize_, cursor_, kLineEnds);
    if (end == fileSize_) {
        cursor_ = fileSize_;
        return;
    }
    // A CR is always taken together with the byte after it, whatever it is.
    const std::uint32_t step = text_[end] == '\r' ? 2 : 1;
    cursor_ = std::min(end + step, fileSize_);
}

void FileManager::FindSection(const std::string& name)
{
    cursor_ = 0;
    std::string line;
    while (line != name) {
        if (cursor_ >= fileSize_) {
            // No such header: the section is the empty end of the text.
            break;
        }
        line = TextUpTo(kLineEnds);
        SkipLine();
    }
    sectionStart_ = cursor_;
}

void FileManager::GoToLine(unsigned n)
{
    cursor_ = sectionStart_;
    for (unsigned i = 1; i < n && cursor_ < fileSize_; ++i)
        SkipLine();
}

void FileManager::GetLine(unsigned n, std::string& out)
{
    GoToLine(n);
    out = TextUpTo(kLineEnds);
}

void FileManager::GetField(unsigned n, unsigned k, std::string& out)
{
    GoToLine(n);
    // The comma search runs on across line ends.
    for (unsigned i = 1; i < k && cursor_ < fileSize_; ++i)
        cursor_ = std::min(FindAny(text_, fileSize_, cursor_, ",") + 1, fileSize_);
    out = TextUpTo(kFieldEnds);
}

std::string FileManager::GetProductLine()
{
    std::string name;
    FindSection("PRODUCT_LINE");
    GetField(1, 1, name);
    return name;
}
