// Shared by the fuzz targets: a failed invariant aborts, so libFuzzer keeps the input that did it.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// The readers under test take a path: each input goes to one scratch file per process.
inline const char *scratch_file(const uint8_t *data, size_t size) {
    static const struct Scratch {
        const char *dir = std::getenv("TMPDIR");
        std::string path =
            std::string(dir && *dir ? dir : "/tmp") + "/demo-fuzz-" + std::to_string(getpid());
        ~Scratch() { std::remove(path.c_str()); }
    } scratch;
    std::FILE *file = std::fopen(scratch.path.c_str(), "wb");
    FUZZ_CHECK(file && (size == 0 || std::fwrite(data, 1, size, file) == size));
    std::fclose(file);
    return scratch.path.c_str();
}
