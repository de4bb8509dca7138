#include "TempDir.h"

#include <stdlib.h>

#include <stdexcept>
#include <system_error>
#include <vector>

#include "Files.h"

namespace kelvtest {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kelv-test-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (::mkdtemp(buf.data()) == nullptr) throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path_ = std::string(buf.data()) + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests make folders read-only to provoke errors; give them back first.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
        if (entry.is_directory(ec))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const std::string p = File(name);
    WriteText(p, bytes);
    return p;
}

}  // namespace kelvtest
