#pragma once
// fmod semantics (sign of the dividend); a divisor of 0 is a fatal error.
double remainderOf(double dividend, double divisor);
