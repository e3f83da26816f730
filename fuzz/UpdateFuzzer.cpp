// libFuzzer target: the engine's update of an in-memory content, which must
// agree with the plain eighteen scans in outcome and in every byte.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/support/ReferenceUpdate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);
    const quorvale::test::ReferenceResult expected = quorvale::test::ReferenceUpdate(content);
    for (std::size_t kept : {std::size_t{1}, std::size_t{8}}) {
        std::size_t missingRow = 0;
        const std::string updated = quorvale::test::ApplyEnginePlan(content, &missingRow, kept);
        if (missingRow != expected.missingRow) std::abort();
        if (missingRow == 0 && updated != expected.content) std::abort();
    }
    return 0;
}
