#include "arithmetic.h"

#include <cmath>

#include "fatal_error.h"

double remainderOf(double dividend, double divisor) {
  if (divisor == 0) fatalError(0, "不能求余数于零");
  return std::fmod(dividend, divisor);
}
