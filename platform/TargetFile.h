#pragma once
// The one file an update works on: opened for reading once, read at offsets,
// and replaced as a whole, atomically, by a copy with some bytes changed.

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/IoError.h"

namespace quorvale::platform {

struct ByteEdit {
    std::uint64_t offset;
    std::string bytes;
};

struct OpenResult {
    bool opened = false;
    std::string refusal;             // why the path names no file to update, in the system's words
    std::optional<IoError> failure;  // the file is there but cannot be read now (in use, I/O error)
};

// What tells that a file is still the one that was read: which file, and
// that it was not written since.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t fileId = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const FileIdentity&) const = default;
};

class TargetFile {
public:
    TargetFile() = default;
    ~TargetFile();
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    // Opens an existing regular file for reading, following symbolic links.
    // Anything else (missing, a folder, a device, a pipe, no access) is
    // refused. `path` is UTF-8, used exactly as given.
    OpenResult Open(const std::string& path);

    std::uint64_t Size() const { return size_; }

    // Fills `out` from `offset`; a file that ends early is an error.
    std::optional<IoError> ReadAt(std::uint64_t offset, std::span<char> out) const;

private:
    friend class Replacement;
    void Close();

    std::intptr_t handle_ = -1;
    std::string resolvedPath_;  // the file itself, after links
    std::uint64_t size_ = 0;
    FileIdentity identity_;
    std::uint32_t mode_ = 0;  // POSIX permission bits or Windows attributes
    std::uint32_t owner_ = 0;
    std::uint32_t group_ = 0;
};

// The copy of a target that takes its place. It is written to a temporary
// file in the target's folder, flushed, and swapped in atomically only if the
// target has not changed since it was opened. Until then, and on any
// failure, the target is as it was; a copy that is not swapped in is removed.
class Replacement {
public:
    explicit Replacement(TargetFile& target) : target_(target) {}
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // Creates the temporary file; fails if the target may not be written.
    std::optional<IoError> Create();
    // Copies the target's content into it. It may run on another thread while
    // that thread's owner reads the target, and starts the copy on its way to
    // the disk as it goes. Setting `cancelled` stops it early, with an error.
    std::optional<IoError> CopyContent(const std::atomic<bool>& cancelled);
    // Writes `edits` over the copy in order, flushes it, and swaps it in.
    std::optional<IoError> Commit(std::span<const ByteEdit> edits);

private:
    TargetFile& target_;
    std::intptr_t handle_ = -1;
    std::intptr_t folder_ = -1;  // POSIX: the target's folder, where names are resolved
    std::string temporaryName_;  // UTF-8
    bool swappedIn_ = false;
};

}  // namespace quorvale::platform
