// The sixteen floats every shader of a frame receives as `parameters`[k / 4][k % 4].
#pragma once

constexpr int ParameterCount = 16;
extern float ParameterBlock[ParameterCount];
