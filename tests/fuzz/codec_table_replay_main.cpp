// Runs the codec-table fuzz target over the files of the folders named on the
// command line, through each codec of the table and through the probe, whole
// and cut short, so the target's checks run under CTest without libFuzzer.
#include "imaging/codec_table.h"

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
    const size_t codecs = imaging::codecTable().size();
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i])) continue;
        for (const auto& entry : fs::directory_iterator(argv[i])) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::vector<uint8_t> input(file.size() + 1);
            std::copy(file.begin(), file.end(), input.begin() + 1);
            for (size_t pick = 0; pick <= codecs; ++pick) {
                input[0] = uint8_t(pick == codecs ? 255 : pick);
                // Truncation is the commonest fault: every 32nd prefix too.
                for (size_t keep = 1; keep < input.size(); keep += 1 + input.size() / 32)
                    LLVMFuzzerTestOneInput(input.data(), keep);
                LLVMFuzzerTestOneInput(input.data(), input.size());
            }
            ++count;
        }
    }
    std::printf("replayed %d inputs through %zu codecs\n", count, codecs);
    return count > 0 ? 0 : 1;
}
