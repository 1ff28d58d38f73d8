// Runs each file of the folders named on the command line through the fuzz target once, in
// name order, without libFuzzer. A failing input stops the run with its name on stderr.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code error;
    for (int i = 1; i < argc; ++i)
        for (const auto& entry : fs::directory_iterator(argv[i], error))
            if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "%s\n", file.string().c_str());
        bytes.reserve(1);  // a non-null pointer even for an empty file, as libFuzzer passes
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("%d inputs\n", static_cast<int>(files.size()));
    return files.empty() || error ? 1 : 0;
}
