#pragma once

#include <filesystem>
#include <string>

namespace kelvtest {

// A fresh folder for one test (under $TMPDIR, else /tmp), removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending with "/".
    const std::string& Path() const noexcept { return path_; }
    // A name inside the folder.
    std::string Path(const std::string& name) const { return path_ + name; }
    std::string File(const std::string& name) const { return path_ + name; }
    std::filesystem::path Dir() const { return std::filesystem::path(path_); }

    // Writes bytes exactly as given (no line-end translation) to a file in
    // the folder and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

}  // namespace kelvtest
