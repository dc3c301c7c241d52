// Millisecond timer; wraps around like any 32-bit tick count.
#pragma once
#include <cstdint>

uint32_t timer_ms();
