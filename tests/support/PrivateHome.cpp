// Every test program runs with a home and XDG directories of its own, made
// fresh in the temporary directory when the program starts and removed when
// it ends. No test then reads settings, port links or run-time files that
// the user running it, or an earlier run, left behind, and none leaves any.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class CPrivateHome {
public:
    CPrivateHome()
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "corvane-test-home-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("corvane tests: no private home directory");
            std::exit(1);
        }
        root_ = pattern;
        Use("HOME", root_);
        Use("XDG_CONFIG_HOME", root_ + "/config");
        Use("XDG_DATA_HOME", root_ + "/data");
        Use("XDG_CACHE_HOME", root_ + "/cache");
        Use("XDG_RUNTIME_DIR", root_ + "/run");
    }
    ~CPrivateHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    CPrivateHome(const CPrivateHome&) = delete;
    CPrivateHome& operator=(const CPrivateHome&) = delete;

private:
    void Use(const char* variable, const std::string& directory)
    {
        ::mkdir(directory.c_str(), 0700);
        ::setenv(variable, directory.c_str(), 1);
    }

    std::string root_;
};

const CPrivateHome privateHome;

}  // namespace
