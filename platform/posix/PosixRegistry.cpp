// The settings store on POSIX systems: one directory per key, named by the
// key's path, and in it a text file ".values" of "name=number" lines, each
// number a DWORD in decimal. Persistent keys live in the kit's configuration
// directory, volatile keys in the runtime directory, which the system empties
// when it restarts. The values file is replaced whole and atomically: a new
// file is written, flushed to disk and renamed into place.
#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/posix/PosixDirectories.h"
#include "platform/posix/PosixPaths.h"

namespace {

const char kValuesFile[] = ".values";

struct OpenKeyState {
    std::string directory;
};

using ValueList = std::vector<std::pair<std::string, std::string>>;

const char* RootName(RegRoot root)
{
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

bool IsValidComponent(const std::string& part)
{
    if (part.empty() || part[0] == '.')
        return false;
    for (unsigned char c : part)
        if (c == '/' || c < 0x20 || c == 0x7F)
            return false;
    return true;
}

// The key's directory below `base`, or empty for a path we cannot store.
std::string KeyDirectory(const std::string& base, RegRoot root, const std::string& path)
{
    if (base.empty())
        return {};
    std::string directory = base + "/" + RootName(root);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string part = path.substr(start, end - start);
        if (!IsValidComponent(part))
            return {};
        directory += "/" + part;
        if (end == std::string::npos)
            return directory;
        start = end + 1;
    }
}

bool IsDirectory(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The directory of an existing key: a volatile key first, then a persistent one.
std::string FindKey(RegRoot root, const std::string& path)
{
    for (const std::string& base : {RuntimeDirectory(), ConfigDirectory()}) {
        const std::string directory = KeyDirectory(base, root, path);
        if (IsDirectory(directory))
            return directory;
    }
    return {};
}

// Creates the directory and those above it, private to the user.
bool MakeDirectories(const std::string& directory)
{
    for (std::size_t slash = directory.find('/', 1);; slash = directory.find('/', slash + 1)) {
        const std::string prefix = directory.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return IsDirectory(directory);
    }
}

bool IsValidName(const char* name)
{
    if (name == nullptr || name[0] == '#')
        return false;
    for (const char* c = name; *c != '\0'; ++c)
        if (*c == '\n' || *c == '\r')
            return false;
    return true;
}

// Reads the values of the key in `directory`. A missing file is an empty list;
// a file that cannot be read is kRegAccessDenied.
long LoadValues(const std::string& directory, ValueList& values)
{
    const std::string file = directory + "/" + kValuesFile;
    std::ifstream in(file);
    if (!in) {
        struct stat info {};
        return ::stat(file.c_str(), &info) != 0 && errno == ENOENT ? kRegSuccess
                                                                   : kRegAccessDenied;
    }
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t equals = line.rfind('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        values.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return in.bad() ? kRegAccessDenied : kRegSuccess;
}

bool ParseDword(const std::string& text, unsigned& value)
{
    if (text.empty() || text.size() > 10)
        return false;
    unsigned long long number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + unsigned(c - '0');
    }
    if (number > 0xFFFFFFFFull)
        return false;
    value = unsigned(number);
    return true;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return true;
}

// Replaces the values file: a new file, flushed, renamed into place.
long StoreValues(const std::string& directory, const std::string& keyName,
                 const ValueList& values)
{
    std::ostringstream text;
    text << "# " << keyName << "\n";
    for (const auto& [name, value] : values)
        text << name << "=" << value << "\n";

    std::string temp = directory + "/" + kValuesFile + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return kRegAccessDenied;
    const bool written = WriteAll(fd, text.str()) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::rename(temp.c_str(), (directory + "/" + kValuesFile).c_str()) != 0) {
        ::unlink(temp.c_str());
        return kRegAccessDenied;
    }
    const int dirFd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return kRegSuccess;
}

OpenKeyState* State(void* key) { return static_cast<OpenKeyState*>(key); }

}  // namespace

CRegistry::CRegistry(RegRoot root) : root_(root) {}

CRegistry::~CRegistry() { CloseKey(); }

bool CRegistry::KeyExists(RegRoot root, const std::string& path)
{
    return RecordOpen(FindKey(root, path).empty() ? kRegNotFound : kRegSuccess);
}

bool CRegistry::CreateKey(RegRoot root, const std::string& path, RegKeyLife life)
{
    if (!FindKey(root, path).empty())
        return RecordOpen(kRegSuccess);
    const std::string base = life == RegKeyLife::Volatile ? RuntimeDirectory() : ConfigDirectory();
    const std::string directory = KeyDirectory(base, root, path);
    if (directory.empty())
        return RecordOpen(base.empty() ? kRegAccessDenied : kRegInvalidParameter);
    return RecordOpen(MakeDirectories(directory) ? kRegSuccess : kRegAccessDenied);
}

bool CRegistry::OpenKey(RegRoot root, const std::string& path)
{
    CloseKey();
    path_ = path;
    root_ = root;
    std::string directory = FindKey(root, path);
    if (directory.empty())
        return RecordOpen(kRegNotFound);
    key_ = new OpenKeyState{std::move(directory)};
    return RecordOpen(kRegSuccess);
}

void CRegistry::CloseKey()
{
    delete State(key_);
    key_ = nullptr;
}

long CRegistry::WriteDword(const char* name, unsigned value)
{
    if (key_ == nullptr)
        return kRegInvalidHandle;
    if (!IsValidName(name))
        return kRegInvalidParameter;
    ValueList values;
    if (const long result = LoadValues(State(key_)->directory, values); result != kRegSuccess)
        return result;  // never replace a file we could not read
    bool found = false;
    for (auto& [existing, text] : values)
        if (existing == name) {
            text = std::to_string(value);
            found = true;
        }
    if (!found)
        values.emplace_back(name, std::to_string(value));
    return StoreValues(State(key_)->directory, std::string(RootName(root_)) + "\\" + path_,
                       values);
}

bool CRegistry::ReadDword(const char* name, int& value)
{
    lastType_ = kRegTypeNone;
    lastSize_ = 0;
    if (key_ == nullptr || name == nullptr) {
        lastResult_ = key_ == nullptr ? kRegInvalidHandle : kRegInvalidParameter;
        return false;
    }
    ValueList values;
    lastResult_ = LoadValues(State(key_)->directory, values);
    if (lastResult_ != kRegSuccess)
        return false;
    const std::string* text = nullptr;
    for (const auto& [existing, stored] : values)
        if (existing == name)
            text = &stored;  // the last line of a name counts
    unsigned number = 0;
    if (text == nullptr) {
        lastResult_ = kRegNotFound;
    } else if (!ParseDword(*text, number)) {
        lastResult_ = kRegInvalidData;
    } else {
        value = int(number);
        lastType_ = kRegTypeDword;
        lastSize_ = 4;
    }
    return lastResult_ == kRegSuccess;
}
