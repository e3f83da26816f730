#pragma once
// Real files in a private temporary folder, for tests of the engine on disk.

#include <filesystem>
#include <string>

namespace quorvale::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& utf8Name) const;
    // Names of everything in the folder, to spot leftovers.
    std::size_t EntryCount() const;

private:
    std::filesystem::path path_;
};

std::string Utf8(const std::filesystem::path& path);

// A build path as a Windows program under Wine reaches it: /a/b as Z:\a\b.
std::wstring PathForWine(const std::string& buildPath);
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace quorvale::test
