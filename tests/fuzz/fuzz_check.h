// Shared by the fuzz targets: a failed invariant aborts, so libFuzzer keeps the input that did it.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition, ...)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "invariant failed: %s: ", #condition);                            \
            std::fprintf(stderr, __VA_ARGS__);                                                     \
            std::fputc('\n', stderr);                                                              \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// The readers under test take a path, so each input goes to one scratch file per process.
class ScratchFile {
  public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;
    void write(const unsigned char *data, std::size_t size);
    const char *path() const { return path_.c_str(); }

  private:
    std::string path_;
};
