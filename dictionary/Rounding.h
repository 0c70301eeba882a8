#pragma once
#include <cmath>

// Nearest whole number, halves to even (the default floating-point rounding).
inline long long RoundHalfEven(double value) {
    return std::llrint(value);
}
