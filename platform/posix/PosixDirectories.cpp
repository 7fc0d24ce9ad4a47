#include "platform/posix/PosixDirectories.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

const char kKitName[] = "corvane";

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

std::string RuntimeDirectory()
{
    const char* base = std::getenv("XDG_RUNTIME_DIR");
    if (base != nullptr && base[0] == '/')
        return PrivateDirectory(std::string(base) + "/" + kKitName);
    return PrivateDirectory("/tmp/" + std::string(kKitName) + "-" + std::to_string(::getuid()));
}
