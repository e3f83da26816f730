// quorvale-sample: writes a synthetic target file for tests, benchmarks and demos.

#include <cstdlib>
#include <iostream>
#include <string>

#include "sample/SampleTarget.h"

namespace {

constexpr const char* kUsage =
    "Usage: quorvale-sample [--size N[K|M|G]] [--seed N] [--place start|spread|end]\n"
    "                       [--odd] [--twice] [--omit ROW] OUTPUT\n";

bool ParseSize(const std::string& text, std::uint64_t& size) {
    char* end = nullptr;
    unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    std::string unit = end;
    if (end == text.c_str()) return false;
    if (unit == "K")
        value <<= 10;
    else if (unit == "M")
        value <<= 20;
    else if (unit == "G")
        value <<= 30;
    else if (!unit.empty())
        return false;
    size = value;
    return true;
}

bool ParsePlacement(const std::string& text, quorvale::sample::Placement& placement) {
    using quorvale::sample::Placement;
    if (text == "start")
        placement = Placement::Start;
    else if (text == "spread")
        placement = Placement::Spread;
    else if (text == "end")
        placement = Placement::End;
    else
        return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    quorvale::sample::SampleOptions options;
    std::string output;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool hasValue = i + 1 < argc;
        bool ok = true;
        if (argument == "--size" && hasValue)
            ok = ParseSize(argv[++i], options.size);
        else if (argument == "--seed" && hasValue)
            options.seed = static_cast<std::uint32_t>(std::atoi(argv[++i]));
        else if (argument == "--place" && hasValue)
            ok = ParsePlacement(argv[++i], options.placement);
        else if (argument == "--omit" && hasValue)
            options.omitRow = static_cast<std::size_t>(std::atoi(argv[++i]));
        else if (argument == "--odd")
            options.oddOffsets = true;
        else if (argument == "--twice")
            options.twice = true;
        else if (!argument.starts_with("-") && output.empty())
            output = argument;
        else
            ok = false;
        if (!ok) {
            std::cerr << kUsage;
            return 64;
        }
    }
    if (output.empty()) {
        std::cerr << kUsage;
        return 64;
    }
    std::string error;
    if (!quorvale::sample::WriteSample(output, options, error)) {
        std::cerr << "quorvale-sample: " << error << "\n";
        return 1;
    }
    return 0;
}
