// RK values: the 30-bit number form of BIFF8 cell records. Bit 0 set: the
// value is divided by 100; bit 1 set: the upper 30 bits are a signed
// integer, else the upper 30 bits of an IEEE double whose other bits are 0.
#pragma once

#include "platform/base.h"

DWORD RkFromInteger(int value);
// Integers from -536870912 to 536870911 fit.
bool RkIntegerFits(long long value);
// True when the double can be stored as an RK value (finite, not too large,
// at most two decimals) and reading that RK value gives it back exactly.
bool RkIsEligible(double value);
DWORD RkFromDouble(double value);

bool RkIsInteger(DWORD rk);
int RkToInteger(DWORD rk);
double RkToDouble(DWORD rk);
// The value an RK stands for as BIFF8 prescribes: the integer, or the
// double, divided by 100 when bit 0 is set.
double RkValue(DWORD rk);
