#pragma once

#include <cmath>

// Nearest integer, halves to the even neighbour: the rounding of every scaled coordinate and of
// the volume conversions (1.5 -> 2, 2.5 -> 2, -0.5 -> 0).
inline int RoundHalfEven(double value) {
  const double floorValue = std::floor(value);
  const double diff = value - floorValue;
  double r = floorValue;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(floorValue, 2.0) != 0.0)) r = floorValue + 1.0;
  return static_cast<int>(r);
}
