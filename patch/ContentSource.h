#pragma once
// Read access to a target's content, wherever it lives, so that the search can
// stream a file from disk and tests can hand it bytes from memory.

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "platform/IoError.h"

namespace quorvale {

class ContentSource {
public:
    virtual ~ContentSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Fills `out` from `offset`; `offset + out.size()` is within Size().
    virtual std::optional<platform::IoError> ReadAt(std::uint64_t offset, std::span<char> out) const = 0;
};

class MemoryContent final : public ContentSource {
public:
    explicit MemoryContent(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    std::optional<platform::IoError> ReadAt(std::uint64_t offset, std::span<char> out) const override {
        if (!out.empty()) std::memcpy(out.data(), bytes_.data() + offset, out.size());
        return std::nullopt;
    }

private:
    std::string_view bytes_;
};

}  // namespace quorvale
