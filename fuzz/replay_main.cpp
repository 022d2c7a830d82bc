// Replays stored inputs through a harness's entry point without libFuzzer: every file named on
// the command line, and every file inside each folder named (in name order). A folder that does
// not exist counts as empty, so a harness without regressions yet needs no placeholder.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

std::vector<std::filesystem::path> inputsIn(const std::filesystem::path& path) {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_regular_file(path)) return {path};
    if (!std::filesystem::is_directory(path)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& file : inputsIn(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (!in.eof() && in.fail()) {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                return 1;
            }
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    // An empty corpus would make the test pass without running anything.
    return replayed > 0 ? 0 : 1;
}
