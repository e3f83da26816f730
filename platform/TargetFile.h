#pragma once
// The one file an update works on: opened for reading once, read at offsets,
// and replaced as a whole, atomically, by a copy with some bytes changed.

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

    // Replaces the file by its own content with `edits` applied in order.
    // The new content goes to a temporary file in the same folder, is flushed,
    // and is swapped in only if the file has not changed since Open. On any
    // failure the file is as it was and no temporary file is left.
    std::optional<IoError> ReplaceWithEdits(std::span<const ByteEdit> edits);

private:
    void Close();

    struct Identity {
        std::uint64_t device = 0;
        std::uint64_t fileId = 0;
        std::uint64_t size = 0;
        std::int64_t modified = 0;
        bool operator==(const Identity&) const = default;
    };

    std::intptr_t handle_ = -1;
    std::string resolvedPath_;  // the file itself, after links
    std::uint64_t size_ = 0;
    Identity identity_;
    std::uint32_t mode_ = 0;  // POSIX permission bits or Windows attributes
    std::uint32_t owner_ = 0;
    std::uint32_t group_ = 0;
};

}  // namespace quorvale::platform
