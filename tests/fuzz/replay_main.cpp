// Runs a libFuzzer target over the files and folders named on the command
// line, so its checks also run under CTest without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    int count = 0;
    auto replay = [&](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        // Every prefix too: truncation is the commonest fault.
        for (size_t keep = 0; keep < bytes.size(); keep += 1 + bytes.size() / 64)
            LLVMFuzzerTestOneInput(bytes.data(), keep);
        ++count;
    };
    for (int i = 1; i < argc; ++i) {
        if (fs::is_directory(argv[i])) {
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file()) replay(entry.path());
        } else if (fs::exists(argv[i])) {
            replay(argv[i]);
        }
    }
    std::printf("replayed %d inputs\n", count);
    return count > 0 ? 0 : 1;
}
