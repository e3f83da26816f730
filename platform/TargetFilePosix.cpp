#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/TargetFile.h"

namespace quorvale::platform {
namespace {

constexpr const char* kTemporaryTag = ".quorvale-";

std::string SystemText(int error) {
    return std::strerror(error);
}

IoErrorKind KindOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return IoErrorKind::AccessDenied;
        case ETXTBSY:
        case EBUSY:
            return IoErrorKind::InUse;
        case ENOSPC:
        case EDQUOT:
            return IoErrorKind::DiskFull;
        default:
            return IoErrorKind::Other;
    }
}

IoError ErrorAt(IoStep step, int error) {
    return {step, KindOf(error), SystemText(error)};
}

std::optional<IoError> WriteAllAt(int fd, std::uint64_t offset, const char* data, std::size_t length) {
    while (length > 0) {
        ssize_t written = ::pwrite(fd, data, length, static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) continue;
            return ErrorAt(IoStep::Write, errno);
        }
        if (written == 0) return ErrorAt(IoStep::Write, ENOSPC);
        data += written;
        length -= static_cast<std::size_t>(written);
        offset += static_cast<std::uint64_t>(written);
    }
    return std::nullopt;
}

bool KernelCopyUnsupported(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP;
}

// Copies `size` bytes, with the kernel's own copy where the file system has
// it (no pass through user space), in pieces that are each started on their
// way to the disk at once, so the final flush has little left to wait for.
std::optional<IoError> CopyContent(int from, int to, std::uint64_t size, const std::atomic<bool>& cancelled) {
    constexpr std::uint64_t kPiece = 8 << 20;
    bool kernelCopy = true;
    std::vector<char> buffer;
    for (std::uint64_t done = 0; done < size;) {
        if (cancelled) return IoError{IoStep::Write, IoErrorKind::Other, "the copy was no longer needed"};
        const std::uint64_t want = std::min(size - done, kPiece);
        ssize_t copied = -1;
        if (kernelCopy) {
            loff_t in = static_cast<loff_t>(done), out = static_cast<loff_t>(done);
            copied = ::copy_file_range(from, &in, to, &out, want, 0);
            if (copied < 0 && done == 0 && KernelCopyUnsupported(errno)) {
                kernelCopy = false;
                continue;
            }
        } else {
            buffer.resize(kPiece);
            copied = ::pread(from, buffer.data(), want, static_cast<off_t>(done));
            if (copied > 0) {
                if (auto error = WriteAllAt(to, done, buffer.data(), static_cast<std::size_t>(copied))) return error;
            }
        }
        if (copied < 0 && errno == EINTR) continue;
        if (copied < 0) return ErrorAt(IoStep::Write, errno);
        if (copied == 0) return IoError{IoStep::Read, IoErrorKind::ChangedMeanwhile, "the file became shorter"};
        ::sync_file_range(to, static_cast<off_t>(done), copied, SYNC_FILE_RANGE_WRITE);
        done += static_cast<std::uint64_t>(copied);
    }
    return std::nullopt;
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('/') + 1);
}
std::string NameOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// A run that was killed leaves its temporary file behind; the name carries its
// process id, so a later run can tell a dead run's file from a live one's.
void RemoveStaleTemporaries(int folder, const std::string& name) {
    const std::string prefix = "." + name + kTemporaryTag;
    int listing = ::dup(folder);
    if (listing < 0) return;
    DIR* dir = ::fdopendir(listing);
    if (dir == nullptr) {
        ::close(listing);
        return;
    }
    while (dirent* entry = ::readdir(dir)) {
        std::string_view entryName = entry->d_name;
        if (!entryName.starts_with(prefix)) continue;
        long pid = std::strtol(entry->d_name + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            ::unlinkat(folder, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

int CreateTemporary(int folder, const std::string& name, std::string& temporaryName) {
    std::random_device seed;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporaryName =
            "." + name + kTemporaryTag + std::to_string(::getpid()) + "-" + std::to_string(seed() % 1000000) + ".tmp";
        int fd = ::openat(folder, temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

std::int64_t ModifiedNanoseconds(const struct stat& info) {
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

}  // namespace

TargetFile::~TargetFile() {
    Close();
}

void TargetFile::Close() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = -1;
}

namespace {

OpenResult Refused(std::string why) {
    return {false, std::move(why), std::nullopt};
}

// Errors that say nothing about the path: the file may well be there.
bool IsTransientOpenError(int error) {
    return error == EIO || error == EMFILE || error == ENFILE || error == ENOMEM || error == EINTR;
}

}  // namespace

OpenResult TargetFile::Open(const std::string& path) {
    Close();
    if (path.find('\0') != std::string::npos) return Refused("the path holds a NUL character");
    // O_NONBLOCK keeps a FIFO from blocking the open; O_NOCTTY keeps a
    // terminal from becoming ours.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (IsTransientOpenError(errno)) return {false, {}, ErrorAt(IoStep::Read, errno)};
        return Refused(SystemText(errno));
    }
    handle_ = fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        IoError error = ErrorAt(IoStep::Read, errno);
        Close();
        return {false, {}, error};
    }
    if (!S_ISREG(info.st_mode)) {
        Close();
        return Refused(S_ISDIR(info.st_mode) ? "the path names a folder" : "the path does not name a regular file");
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        std::string why = SystemText(errno);
        Close();
        return Refused(why);
    }
    resolvedPath_ = resolved;
    size_ = static_cast<std::uint64_t>(info.st_size);
    identity_ = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), size_,
                 ModifiedNanoseconds(info)};
    mode_ = info.st_mode & 07777;
    owner_ = info.st_uid;
    group_ = info.st_gid;
    return {true, {}, std::nullopt};
}

std::optional<IoError> TargetFile::ReadAt(std::uint64_t offset, std::span<char> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        ssize_t got =
            ::pread(static_cast<int>(handle_), out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ErrorAt(IoStep::Read, errno);
        if (got == 0) return IoError{IoStep::Read, IoErrorKind::ChangedMeanwhile, "the file became shorter"};
        done += static_cast<std::size_t>(got);
    }
    return std::nullopt;
}

namespace {

std::optional<IoError> KeepOwnerAndMode(int temporary, std::uint32_t owner, std::uint32_t group, std::uint32_t mode) {
    // Owner first: changing it may clear set-id bits that the mode then restores.
    if (::fchown(temporary, owner, group) != 0 && errno != EPERM) return ErrorAt(IoStep::Write, errno);
    if (::fchmod(temporary, mode) != 0) return ErrorAt(IoStep::Write, errno);
    return std::nullopt;
}

}  // namespace

Replacement::~Replacement() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    if (folder_ >= 0) {
        if (!swappedIn_ && !temporaryName_.empty()) ::unlinkat(static_cast<int>(folder_), temporaryName_.c_str(), 0);
        ::close(static_cast<int>(folder_));
    }
}

std::optional<IoError> Replacement::Create() {
    // Root may write anything; a file its owner made read-only stays untouched.
    if (::access(target_.resolvedPath_.c_str(), W_OK) != 0) return ErrorAt(IoStep::OpenForWriting, errno);
    if ((target_.mode_ & 0222) == 0) return ErrorAt(IoStep::OpenForWriting, EACCES);
    int folder = ::open(FolderOf(target_.resolvedPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return ErrorAt(IoStep::CreateTemporary, errno);
    folder_ = folder;
    const std::string name = NameOf(target_.resolvedPath_);
    RemoveStaleTemporaries(folder, name);
    int temporary = CreateTemporary(folder, name, temporaryName_);
    if (temporary < 0) {
        IoError error = ErrorAt(IoStep::CreateTemporary, errno);
        temporaryName_.clear();
        return error;
    }
    handle_ = temporary;
    return std::nullopt;
}

std::optional<IoError> Replacement::CopyContent(const std::atomic<bool>& cancelled) {
    return platform::CopyContent(static_cast<int>(target_.handle_), static_cast<int>(handle_), target_.size_,
                                 cancelled);
}

std::optional<IoError> Replacement::Commit(std::span<const ByteEdit> edits) {
    const int temporary = static_cast<int>(handle_);
    for (const ByteEdit& edit : edits) {
        if (auto error = WriteAllAt(temporary, edit.offset, edit.bytes.data(), edit.bytes.size())) return error;
    }
    if (auto error = KeepOwnerAndMode(temporary, target_.owner_, target_.group_, target_.mode_)) return error;
    if (::fsync(temporary) != 0) return ErrorAt(IoStep::Flush, errno);
    handle_ = -1;
    if (::close(temporary) != 0) return ErrorAt(IoStep::Flush, errno);

    const int folder = static_cast<int>(folder_);
    const std::string name = NameOf(target_.resolvedPath_);
    struct stat now {};
    if (::fstatat(folder, name.c_str(), &now, 0) != 0) return ErrorAt(IoStep::CheckUnchanged, errno);
    if (FileIdentity{static_cast<std::uint64_t>(now.st_dev), static_cast<std::uint64_t>(now.st_ino),
                     static_cast<std::uint64_t>(now.st_size), ModifiedNanoseconds(now)} != target_.identity_) {
        return IoError{IoStep::CheckUnchanged, IoErrorKind::ChangedMeanwhile,
                       "the file was changed by another program during the update"};
    }
    if (::renameat(folder, temporaryName_.c_str(), folder, name.c_str()) != 0) return ErrorAt(IoStep::Replace, errno);
    swappedIn_ = true;
    // The rename is done: the file is updated whatever this says. A failed
    // flush of the folder only risks the old, whole file after a power cut.
    ::fsync(folder);
    return std::nullopt;
}

}  // namespace quorvale::platform
