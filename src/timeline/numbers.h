// The timeline's number rules: constants are single-precision values, arithmetic is done in double,
// every stored or passed value is rounded to float; sin, cos, sqrt and fabs take and return floats.
#pragma once
#include <cmath>

// 37.7_f: the double value of the float nearest 37.7.
constexpr double operator""_f(long double value) {
    return static_cast<double>(static_cast<float>(value));
}
constexpr double operator""_f(unsigned long long value) {
    return static_cast<double>(static_cast<float>(value));
}

// The same for a constant kept in a table as a double.
constexpr double float_constant(double value) {
    return static_cast<double>(static_cast<float>(value));
}

inline float f32(double value) {
    return static_cast<float>(value);
}
inline float sin_f(double x) {
    return f32(std::sin(static_cast<double>(f32(x))));
}
inline float cos_f(double x) {
    return f32(std::cos(static_cast<double>(f32(x))));
}
inline float sqrt_f(double x) {
    return f32(std::sqrt(static_cast<double>(f32(x))));
}
inline float fabs_f(double x) {
    return f32(std::fabs(static_cast<double>(f32(x))));
}
