// The update done the plain way, for comparison only: read the whole file,
// eighteen memmem scans, write a temporary copy, flush, rename.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "patch/Global.h"
#include "patch/PatchTable.h"

int main(int argc, char** argv) {
    if (argc != 2) return 64;
    const std::string path = argv[1];
    int in = ::open(path.c_str(), O_RDONLY);
    struct stat info {};
    if (in < 0 || ::fstat(in, &info) != 0) return 2;
    std::vector<char> content(static_cast<std::size_t>(info.st_size));
    for (std::size_t done = 0; done < content.size();) {
        ssize_t got = ::read(in, content.data() + done, content.size() - done);
        if (got <= 0) return 4;
        done += static_cast<std::size_t>(got);
    }
    ::close(in);
    for (const quorvale::PatchRow& row : quorvale::PatchTable()) {
        const std::string english = quorvale::WidenText(row.english);
        const std::string spanish = quorvale::WidenText(row.spanish);
        void* at = ::memmem(content.data(), content.size(), english.data(), english.size());
        if (at == nullptr) return 3;
        std::memcpy(at, spanish.data(), std::min(english.size(), spanish.size()));
    }
    const std::string temporary = path + ".plain-tmp";
    int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (std::size_t done = 0; done < content.size();) {
        ssize_t put = ::write(out, content.data() + done, content.size() - done);
        if (put <= 0) return 4;
        done += static_cast<std::size_t>(put);
    }
    if (::fsync(out) != 0 || ::close(out) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) return 4;
    return 0;
}
