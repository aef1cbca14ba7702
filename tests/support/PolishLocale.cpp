#include "tests/support/PolishLocale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace quelnet::test {

namespace {

constexpr const char* LocaleName = "pl_PL.UTF-8";

// Loads the locale once to see whether it can be loaded, then puts the
// previous one back.
bool Loadable() {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool ok = std::setlocale(LC_ALL, LocaleName) != nullptr;
    std::setlocale(LC_ALL, previous.c_str());
    return ok;
}

} // namespace

bool ProvidePolishLocale(const std::string& folder, std::string* error) {
    namespace fs = std::filesystem;
    if (Loadable())
        return true;
    const fs::path target = fs::path(folder) / LocaleName;
    std::error_code ec;
    if (!fs::exists(target / "LC_NUMERIC", ec)) {
        fs::create_directories(folder, ec);
        const fs::path own = fs::path(folder) / (std::string("build-") + std::to_string(getpid()));
        fs::remove_all(own, ec);
        const std::string command = "localedef -i pl_PL -f UTF-8 '" + own.string() + "' 2>&1";
        const int status = std::system(command.c_str());
        if (status != 0) {
            *error = "\"" + command + "\" failed (status " + std::to_string(status) +
                     "); the package \"locales\" provides the definitions (tools/install-deps.sh)";
            fs::remove_all(own, ec);
            return false;
        }
        // Another process may have been quicker: then its copy stays.
        fs::rename(own, target, ec);
        fs::remove_all(own, ec);
    }
    setenv("LOCPATH", folder.c_str(), 1);
    if (!Loadable()) {
        *error = std::string("setlocale cannot load ") + LocaleName + " from " + folder;
        return false;
    }
    return true;
}

} // namespace quelnet::test
