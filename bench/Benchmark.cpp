// quorvale-bench: what an update costs next to copying the file.
//
// For each size, a synthetic target with its texts near the end (the worst
// case for first-occurrence searches) is updated by this engine, by the plain
// algorithm and by a short Python script, each as a whole process on a fresh
// copy, side by side with `cp` + `sync` of the same file and with `cat`.
// Page cache warm; medians of paired runs; peak resident memory per process.

#include <spawn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "patch/ContentSource.h"
#include "patch/Global.h"
#include "patch/PatchTable.h"
#include "patch/UpdatePlan.h"
#include "sample/SampleTarget.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Measure {
    double seconds;
    long peakKib;
    int status;
};

std::string gPeakProbe;  // quorvale-peak-rss, beside this program
std::string gPeakFile;

// Runs a command as its own process, output discarded: wall time, peak memory, exit status.
Measure RunProcess(const std::vector<std::string>& command) {
    std::vector<std::string> wrapped = {gPeakProbe, gPeakFile};
    wrapped.insert(wrapped.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (const std::string& part : wrapped) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    long peakKib = 0;
    std::ifstream(gPeakFile) >> peakKib;
    return {seconds, peakKib, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Series {
    std::vector<double> seconds;
    long peakKib = 0;
    void Add(const Measure& m) {
        seconds.push_back(m.seconds);
        peakKib = std::max(peakKib, m.peakKib);
    }
};

std::string SizeName(std::uint64_t size) {
    return size >= (1ull << 30) ? std::to_string(size >> 30) + " GiB" : std::to_string(size >> 20) + " MiB";
}

// The search alone, in memory: the engine's one pass against 18 memmem scans.
std::pair<double, double> SearchOnly(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    double engine = 1e9, plain = 1e9;
    for (int run = 0; run < 3; ++run) {
        auto start = Clock::now();
        quorvale::UpdatePlan plan = quorvale::PlanUpdate(quorvale::MemoryContent(content));
        engine = std::min(engine, std::chrono::duration<double>(Clock::now() - start).count());
        if (!plan.Complete()) std::fprintf(stderr, "engine found no complete update\n");

        std::string copy = content;
        start = Clock::now();
        for (const quorvale::PatchRow& row : quorvale::PatchTable()) {
            const std::string english = quorvale::WidenText(row.english);
            const std::string spanish = quorvale::WidenText(row.spanish);
            void* at = memmem(copy.data(), copy.size(), english.data(), english.size());
            if (at != nullptr) std::memcpy(at, spanish.data(), english.size());
        }
        plain = std::min(plain, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return {engine, plain};
}

void WriteTableFile(const fs::path& path) {
    std::ofstream out(path, std::ios::binary);
    for (const quorvale::PatchRow& row : quorvale::PatchTable()) out << row.english << '\t' << row.spanish << '\n';
}

std::uint64_t ParseSize(const std::string& text) {
    std::uint64_t value = std::stoull(text);
    if (text.back() == 'G') return value << 30;
    if (text.back() == 'M') return value << 20;
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path dir = "bench-data";
    std::vector<std::uint64_t> sizes = {16ull << 20, 256ull << 20, 1ull << 30};
    int runs = 3;
    bool python = true;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--dir" && i + 1 < argc)
            dir = argv[++i];
        else if (argument == "--runs" && i + 1 < argc)
            runs = std::stoi(argv[++i]);
        else if (argument == "--no-python")
            python = false;
        else if (argument == "--sizes" && i + 1 < argc) {
            sizes.clear();
            std::string list = argv[++i];
            for (std::size_t start = 0; start < list.size();) {
                std::size_t end = list.find(',', start);
                sizes.push_back(ParseSize(list.substr(start, end - start)));
                start = end == std::string::npos ? list.size() : end + 1;
            }
        } else {
            std::fprintf(stderr, "usage: quorvale-bench [--dir DIR] [--sizes 16M,256M,1G] [--runs N] [--no-python]\n");
            return 64;
        }
    }
    fs::create_directories(dir);
    const fs::path self = fs::canonical("/proc/self/exe").parent_path();
    const std::string patcher = (self.parent_path() / "quorvale-patch").string();
    const std::string plainUpdate = (self / "quorvale-plain-update").string();
    gPeakProbe = (self / "quorvale-peak-rss").string();
    gPeakFile = (dir / "peak-rss.txt").string();
    const std::string script = QUORVALE_BENCH_SOURCE_DIR "/plain_update.py";
    const fs::path table = dir / "table.tsv";
    WriteTableFile(table);

    std::printf(
        "| size | engine | plain | Python | cp + sync | cp + sync + mv over old | cat | engine / copy "
        "| engine / (copy + mv) | plain / copy | Python / copy | --check | search: engine | search: 18 memmem "
        "| search speed-up | peak RSS engine | plain | Python |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (std::uint64_t size : sizes) {
        const fs::path source = dir / ("target-" + std::to_string(size >> 20) + "M.exe");
        const fs::path work = dir / "work.exe";
        const fs::path copy = dir / "copy.exe";
        std::string error;
        if (!fs::exists(source) || fs::file_size(source) != size) {
            quorvale::sample::WriteSample(
                source.string(), {.size = size, .seed = 1, .placement = quorvale::sample::Placement::End}, error);
        }
        auto fresh = [&] {
            RunProcess({"cp", "--reflink=never", source.string(), work.string()});
            RunProcess({"sync"});
        };
        RunProcess({"cat", source.string()});  // warm the page cache (output discarded)
        std::map<std::string, Series> series;
        for (int run = 0; run < runs; ++run) {
            series["copy"].Add(RunProcess(
                {"sh", "-c", "cp --reflink=never \"$0\" \"$1\" && sync \"$1\"", source.string(), copy.string()}));
            fs::remove(copy);
            RunProcess({"sync"});
            // The same copy put in place of an existing file: what any safe
            // replace costs, the old file's deletion included.
            fresh();
            series["replace"].Add(RunProcess({"sh", "-c",
                                              "cp --reflink=never \"$0\" \"$1.new\" && sync \"$1.new\" && "
                                              "mv \"$1.new\" \"$1\"",
                                              source.string(), work.string()}));
            fresh();
            Measure engine = RunProcess({patcher, work.string()});
            if (engine.status != 0) std::fprintf(stderr, "the engine's update failed: %d\n", engine.status);
            series["engine"].Add(engine);
            fresh();
            series["plain"].Add(RunProcess({plainUpdate, work.string()}));
            if (python) {
                fresh();
                series["python"].Add(RunProcess({"python3", script, work.string(), table.string()}));
            }
            series["cat"].Add(RunProcess({"cat", source.string()}));
            series["check"].Add(RunProcess({patcher, "--check", source.string()}));
        }
        fs::remove(work);
        const auto [searchEngine, searchPlain] = SearchOnly(source);
        const double floor = Median(series["copy"].seconds);
        auto secs = [&](const char* name) { return series[name].seconds.empty() ? 0.0 : Median(series[name].seconds); };
        std::printf(
            "| %s | %.3f s | %.3f s | %.3f s | %.3f s | %.3f s | %.3f s | %.2fx | %.2fx | %.2fx | %.2fx "
            "| %.2f GB/s | %.3f s | %.3f s | %.1fx | %.1f MiB | %.1f MiB | %.1f MiB |\n",
            SizeName(size).c_str(), secs("engine"), secs("plain"), secs("python"), floor, secs("replace"), secs("cat"),
            secs("engine") / floor, secs("engine") / secs("replace"), secs("plain") / floor, secs("python") / floor,
            static_cast<double>(size) / secs("check") / 1e9, searchEngine, searchPlain, searchPlain / searchEngine,
            series["engine"].peakKib / 1024.0, series["plain"].peakKib / 1024.0, series["python"].peakKib / 1024.0);
        std::fflush(stdout);
    }
    return 0;
}
