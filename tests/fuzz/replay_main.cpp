// Without libFuzzer (the gcc and sanitizer builds) each target replays its committed corpus, so
// every input that once found a fault keeps being checked by the ordinary test run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i)
        if (std::filesystem::is_directory(argv[i]))
            for (const auto &entry : std::filesystem::directory_iterator(argv[i]))
                inputs.push_back(entry.path());
        else
            inputs.emplace_back(argv[i]);
    if (inputs.empty()) return std::fprintf(stderr, "no inputs to replay\n"), 1;
    for (const auto &path : inputs) {
        std::ifstream file(path, std::ios::binary);
        if (!file) return std::fprintf(stderr, "cannot read %s\n", path.c_str()), 1;
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
