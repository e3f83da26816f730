#include "tests/support/TestFiles.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace quorvale::test {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device seed;
    path_ = fs::temp_directory_path() / ("quorvale-test-" + std::to_string(seed()) + std::to_string(seed()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Tests may leave read-only files or folders behind.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::operator/(const std::string& utf8Name) const {
    return path_ / fs::path(std::u8string(utf8Name.begin(), utf8Name.end()));
}

std::size_t TempFolder::EntryCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
}

std::string Utf8(const fs::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::wstring PathForWine(const std::string& buildPath) {
    std::wstring path(buildPath.begin(), buildPath.end());
    if (path.empty() || path[0] != L'/') return path;
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    return L"Z:" + path;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + Utf8(path));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + Utf8(path));
}

}  // namespace quorvale::test
