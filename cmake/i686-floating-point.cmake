# The code generation every i686 toolchain shares, MinGW and Linux alike: floating point in SSE2
# registers as on x86-64. The x87 unit's default keeps 80-bit intermediates and drops the roundings
# to float that the scene scripts and the noise rely on, so the picture would differ.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
