#include <windows.h>

#include <algorithm>
#include <array>
#include <cwctype>
#include <random>
#include <vector>

#include "platform/TargetFile.h"
#include "platform/WinText.h"

namespace quorvale::platform {
namespace {

constexpr DWORD kCopyChunk = 1 << 20;

IoErrorKind KindOf(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return IoErrorKind::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
            return IoErrorKind::InUse;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return IoErrorKind::DiskFull;
        default:
            return IoErrorKind::Other;
    }
}

IoError ErrorAt(IoStep step, DWORD error) {
    return {step, KindOf(error), WindowsErrorText(error)};
}
IoError LastErrorAt(IoStep step) {
    return ErrorAt(step, GetLastError());
}

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Names Windows maps to devices in every folder, with or without extension.
bool IsReservedDeviceName(std::wstring_view path) {
    auto nameStart = std::find_if(path.rbegin(), path.rend(), IsPathSeparator).base();
    std::wstring name(nameStart, path.end());
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && (name.back() == L' ' || name.back() == L':')) name.pop_back();
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    static const std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find(kPlain.begin(), kPlain.end(), name) != kPlain.end()) return true;
    return name.size() == 4 && (name.starts_with(L"COM") || name.starts_with(L"LPT")) && name[3] >= L'1' &&
           name[3] <= L'9';
}

// \\.\ and \\?\GLOBALROOT reach devices and raw disks, which can look like files.
bool IsDevicePath(std::wstring_view path) {
    auto startsWith = [&](std::wstring_view prefix) {
        if (path.size() < prefix.size()) return false;
        return std::equal(prefix.begin(), prefix.end(), path.begin(),
                          [](wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); });
    };
    return startsWith(L"\\\\.\\") || startsWith(L"//./") || startsWith(L"\\\\?\\GLOBALROOT") || startsWith(L"\\??\\");
}

std::wstring ResolvedPath(HANDLE file, const std::wstring& typed) {
    std::vector<wchar_t> buffer(32768);
    DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length > 0 && length < buffer.size()) return std::wstring(buffer.data(), length);
    length = GetFullPathNameW(typed.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    return length > 0 && length < buffer.size() ? std::wstring(buffer.data(), length) : typed;
}

std::int64_t AsInt64(FILETIME time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

std::uint64_t Combine(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

std::optional<IoError> WriteAllAt(HANDLE file, std::uint64_t offset, const char* data, std::size_t length) {
    while (length > 0) {
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(length, kCopyChunk));
        OVERLAPPED position = At(offset);
        DWORD written = 0;
        if (!WriteFile(file, data, piece, &written, &position)) return LastErrorAt(IoStep::Write);
        if (written == 0) return ErrorAt(IoStep::Write, ERROR_DISK_FULL);
        data += written;
        length -= written;
        offset += written;
    }
    return std::nullopt;
}

HANDLE CreateTemporary(const std::wstring& target, std::wstring& temporary) {
    std::random_device seed;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = target + L".quorvale-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                    std::to_wstring(seed() % 1000000) + L".tmp";
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

TargetFile::~TargetFile() {
    Close();
}

void TargetFile::Close() {
    if (handle_ != -1) CloseHandle(AsHandle(handle_));
    handle_ = -1;
}

namespace {

OpenResult Refused(std::string why) {
    return {false, std::move(why), std::nullopt};
}

}  // namespace

OpenResult TargetFile::Open(const std::string& path) {
    Close();
    bool valid = false;
    std::wstring wide = Utf8ToWide(path, &valid);
    if (!valid || path.empty() || wide.find(L'\0') != std::wstring::npos) {
        return Refused("the path is empty or not valid text");
    }
    if (IsReservedDeviceName(wide) || IsDevicePath(wide)) return Refused("the path names a device");
    // Others may keep reading or even writing it: a change is caught before
    // the replace, and a file in use is reported when it cannot be replaced.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (KindOf(error) == IoErrorKind::InUse) return {false, {}, ErrorAt(IoStep::Read, error)};
        return Refused(WindowsErrorText(error));
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        Close();
        return Refused("the path does not name a regular file");
    }
    resolvedPath_ = WideToUtf8(ResolvedPath(file, wide));
    size_ = Combine(info.nFileSizeHigh, info.nFileSizeLow);
    identity_ = {info.dwVolumeSerialNumber, Combine(info.nFileIndexHigh, info.nFileIndexLow), size_,
                 AsInt64(info.ftLastWriteTime)};
    mode_ = info.dwFileAttributes;
    return {true, {}, std::nullopt};
}

std::optional<IoError> TargetFile::ReadAt(std::uint64_t offset, std::span<char> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        DWORD piece = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, kCopyChunk));
        OVERLAPPED position = At(offset + done);
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), out.data() + done, piece, &got, &position)) {
            DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF) break;
            return ErrorAt(IoStep::Read, error);
        }
        if (got == 0) break;
        done += got;
    }
    if (done < out.size()) return IoError{IoStep::Read, IoErrorKind::ChangedMeanwhile, "the file became shorter"};
    return std::nullopt;
}

namespace {

// ReplaceFileW with a backup name, so that every way it can fail leaves the
// target under its own name, restored from the backup if need be.
std::optional<IoError> SwapIn(const std::wstring& target, const std::wstring& temporary) {
    const std::wstring backup = temporary + L".old";
    if (ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        DeleteFileW(backup.c_str());
        return std::nullopt;
    }
    DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    DeleteFileW(backup.c_str());
    return ErrorAt(IoStep::Replace, error);
}

std::optional<IoError> CheckUnchanged(const std::wstring& target, const FileIdentity& expected) {
    HANDLE current =
        CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (current == INVALID_HANDLE_VALUE) return LastErrorAt(IoStep::CheckUnchanged);
    BY_HANDLE_FILE_INFORMATION info{};
    bool read = GetFileInformationByHandle(current, &info);
    DWORD error = GetLastError();
    CloseHandle(current);
    if (!read) return ErrorAt(IoStep::CheckUnchanged, error);
    if (FileIdentity{info.dwVolumeSerialNumber, Combine(info.nFileIndexHigh, info.nFileIndexLow),
                     Combine(info.nFileSizeHigh, info.nFileSizeLow), AsInt64(info.ftLastWriteTime)} != expected) {
        return IoError{IoStep::CheckUnchanged, IoErrorKind::ChangedMeanwhile,
                       "the file was changed by another program during the update"};
    }
    return std::nullopt;
}

}  // namespace

Replacement::~Replacement() {
    if (handle_ != -1) CloseHandle(AsHandle(handle_));
    if (!swappedIn_ && !temporaryName_.empty()) DeleteFileW(Utf8ToWide(temporaryName_).c_str());
}

std::optional<IoError> Replacement::Create() {
    if ((target_.mode_ & FILE_ATTRIBUTE_READONLY) != 0) return ErrorAt(IoStep::OpenForWriting, ERROR_ACCESS_DENIED);
    std::wstring temporaryPath;
    HANDLE temporary = CreateTemporary(Utf8ToWide(target_.resolvedPath_), temporaryPath);
    if (temporary == INVALID_HANDLE_VALUE) return LastErrorAt(IoStep::CreateTemporary);
    handle_ = reinterpret_cast<std::intptr_t>(temporary);
    temporaryName_ = WideToUtf8(temporaryPath);
    return std::nullopt;
}

std::optional<IoError> Replacement::CopyContent(const std::atomic<bool>& cancelled) {
    std::vector<char> buffer(kCopyChunk);
    for (std::uint64_t done = 0; done < target_.size_;) {
        if (cancelled) return IoError{IoStep::Write, IoErrorKind::Other, "the copy was no longer needed"};
        std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), target_.size_ - done));
        if (auto error = target_.ReadAt(done, std::span(buffer.data(), piece))) return error;
        if (auto error = WriteAllAt(AsHandle(handle_), done, buffer.data(), piece)) return error;
        done += piece;
    }
    return std::nullopt;
}

std::optional<IoError> Replacement::Commit(std::span<const ByteEdit> edits) {
    HANDLE temporary = AsHandle(handle_);
    for (const ByteEdit& edit : edits) {
        if (auto error = WriteAllAt(temporary, edit.offset, edit.bytes.data(), edit.bytes.size())) return error;
    }
    if (!FlushFileBuffers(temporary)) return LastErrorAt(IoStep::Flush);
    handle_ = -1;
    if (!CloseHandle(temporary)) return LastErrorAt(IoStep::Flush);

    const std::wstring target = Utf8ToWide(target_.resolvedPath_);
    const std::wstring temporaryPath = Utf8ToWide(temporaryName_);
    if (auto error = CheckUnchanged(target, target_.identity_)) return error;
    // ReplaceFileW is meant to carry the attributes over; not every
    // implementation does, so the copy gets them first.
    constexpr DWORD kKeptAttributes =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if ((target_.mode_ & kKeptAttributes) != 0 &&
        !SetFileAttributesW(temporaryPath.c_str(), target_.mode_ & kKeptAttributes)) {
        return LastErrorAt(IoStep::Write);
    }
    target_.Close();  // our read handle must not stand in the way of the replace
    if (auto error = SwapIn(target, temporaryPath)) return error;
    swappedIn_ = true;
    return std::nullopt;
}

}  // namespace quorvale::platform
