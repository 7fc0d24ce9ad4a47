#include "platform/posix/PosixDirectories.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

const char kKitName[] = "corvane";

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? value : "";
}

std::string HomeDirectory()
{
    std::string home = Environment("HOME");
    if (home.empty())
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir)
            home = entry->pw_dir;
    return home;
}

// Makes `directory` (its parent must exist) private to the user, or accepts
// it when it already is a directory that the user owns and only the user can
// write. Empty when neither.
std::string PrivateDirectory(const std::string& directory)
{
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat info {};
    if (::lstat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {};
    return directory;
}

}  // namespace

std::string ConfigDirectory()
{
    std::string base = Environment("XDG_CONFIG_HOME");
    if (base.empty()) {
        const std::string home = HomeDirectory();
        if (home.empty())
            return {};
        base = home + "/.config";
        ::mkdir(base.c_str(), 0700);
    }
    return PrivateDirectory(base + "/" + kKitName);
}

std::string RuntimeDirectory()
{
    const std::string base = Environment("XDG_RUNTIME_DIR");
    if (!base.empty())
        return PrivateDirectory(base + "/" + kKitName);
    return PrivateDirectory("/tmp/" + std::string(kKitName) + "-" + std::to_string(::getuid()));
}
