#pragma once

#include "patch/ContentSource.h"
#include "platform/TargetFile.h"

namespace quorvale {

// An open target file seen as content.
class FileContent final : public ContentSource {
public:
    explicit FileContent(const platform::TargetFile& file) : file_(file) {}
    std::uint64_t Size() const override { return file_.Size(); }
    std::optional<platform::IoError> ReadAt(std::uint64_t offset, std::span<char> out) const override {
        return file_.ReadAt(offset, out);
    }

private:
    const platform::TargetFile& file_;
};

}  // namespace quorvale
