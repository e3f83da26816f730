#include "patch/UpdatePlan.h"

#include <algorithm>
#include <string>

#include "patch/Global.h"
#include "patch/OccurrenceScan.h"
#include "patch/PatchTable.h"

namespace quorvale {
namespace {

using platform::ByteEdit;

struct WideRow {
    std::string english;
    std::string spanish;  // cut to the English length: the content never grows
};

std::vector<WideRow> WidenTable() {
    std::vector<WideRow> rows;
    for (const PatchRow& row : PatchTable()) {
        std::string english = WidenText(row.english);
        std::string spanish = WidenText(row.spanish);
        spanish.resize(std::min(spanish.size(), english.size()));
        rows.push_back({std::move(english), std::move(spanish)});
    }
    return rows;
}

bool Overlaps(std::uint64_t start, std::size_t length, const ByteEdit& edit) {
    return start < edit.offset + edit.bytes.size() && edit.offset < start + length;
}

class Planner {
public:
    Planner(const ContentSource& content, std::size_t keptOccurrences)
        : content_(content), kept_(keptOccurrences), rows_(WidenTable()) {}

    UpdatePlan Run() {
        std::vector<std::string> patterns;
        for (const WideRow& row : rows_) patterns.push_back(row.english);
        Occurrences first = FindOccurrences(content_, MultiPatternScanner(patterns), 0, kept_);
        if (first.error) return Failed(*first.error);

        for (std::size_t row = 0; row < rows_.size(); ++row) {
            std::optional<std::uint64_t> found = FirstInEditedWindows(rows_[row].english);
            if (plan_.readError) return plan_;
            found = FirstUntouchedOriginal(row, std::move(first.offsets[row]), found);
            if (plan_.readError) return plan_;
            if (!found) {
                plan_.missingRow = row + 1;
                plan_.edits.clear();
                return plan_;
            }
            plan_.edits.push_back({*found, rows_[row].spanish});
        }
        return plan_;
    }

private:
    UpdatePlan Failed(const platform::IoError& error) {
        plan_.readError = error;
        plan_.edits.clear();
        return plan_;
    }

    // The content's bytes in [start, end) as the edits so far have left them.
    std::string CurrentBytes(std::uint64_t start, std::uint64_t end) {
        std::string bytes(static_cast<std::size_t>(end - start), '\0');
        if (auto error = content_.ReadAt(start, bytes)) {
            Failed(*error);
            return {};
        }
        for (const ByteEdit& edit : plan_.edits) {
            std::uint64_t from = std::max(start, edit.offset);
            std::uint64_t to = std::min(end, edit.offset + edit.bytes.size());
            for (std::uint64_t at = from; at < to; ++at) bytes[at - start] = edit.bytes[at - edit.offset];
        }
        return bytes;
    }

    // An occurrence that overlaps an earlier edit (one the edit created, or
    // one it left intact) lies within a pattern's length of it.
    std::optional<std::uint64_t> FirstInEditedWindows(const std::string& pattern) {
        std::optional<std::uint64_t> best;
        const std::uint64_t reach = pattern.size() - 1;
        for (const ByteEdit& edit : plan_.edits) {
            std::uint64_t start = edit.offset > reach ? edit.offset - reach : 0;
            std::uint64_t end = std::min(content_.Size(), edit.offset + edit.bytes.size() + reach);
            std::string bytes = CurrentBytes(start, end);
            if (plan_.readError) return std::nullopt;
            std::size_t at = bytes.find(pattern);
            if (at != std::string::npos && (!best || start + at < *best)) best = start + at;
        }
        return best;
    }

    // Every other occurrence is one the content had from the start and that
    // no edit touched; the first of those is compared with `best`.
    std::optional<std::uint64_t> FirstUntouchedOriginal(std::size_t row, std::vector<std::uint64_t> offsets,
                                                        std::optional<std::uint64_t> best) {
        const std::string& pattern = rows_[row].english;
        while (true) {
            for (std::uint64_t offset : offsets) {
                if (best && offset >= *best) return best;
                bool touched = std::any_of(plan_.edits.begin(), plan_.edits.end(), [&](const ByteEdit& edit) {
                    return Overlaps(offset, pattern.size(), edit);
                });
                if (!touched) return offset;
            }
            if (offsets.size() < kept_) return best;
            Occurrences more = FindOccurrences(content_, MultiPatternScanner({pattern}), offsets.back() + 1, kept_);
            if (more.error) {
                Failed(*more.error);
                return std::nullopt;
            }
            offsets = std::move(more.offsets[0]);
        }
    }

    const ContentSource& content_;
    const std::size_t kept_;
    const std::vector<WideRow> rows_;
    UpdatePlan plan_;
};

}  // namespace

UpdatePlan PlanUpdate(const ContentSource& content, std::size_t keptOccurrences) {
    return Planner(content, keptOccurrences).Run();
}

}  // namespace quorvale
