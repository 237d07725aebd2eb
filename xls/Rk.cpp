#include "xls/Rk.h"

#include <cmath>
#include <cstring>

namespace {

// x scaled and truncated toward zero, when that fits comfortably in 64 bits.
bool Truncated(double x, double scale, long long& out) {
  const double y = x * scale;
  if (!std::isfinite(y) || std::fabs(y) >= 9.0e18) return false;
  out = static_cast<long long>(std::trunc(y));
  return true;
}

DWORD UpperBits(double value) {
  unsigned long long bits;
  std::memcpy(&bits, &value, 8);
  return static_cast<DWORD>(bits >> 32);
}

double FromUpperBits(DWORD upper) {
  const unsigned long long bits = static_cast<unsigned long long>(upper & ~3u) << 32;
  double value;
  std::memcpy(&value, &bits, 8);
  return value;
}

}  // namespace

DWORD RkFromInteger(int value) { return (static_cast<DWORD>(value) << 2) | 2u; }

bool RkIntegerFits(long long value) { return value >= -536870912LL && value <= 536870911LL; }

DWORD RkFromDouble(double x) {
  long long whole, hundredths;
  const bool scaled = Truncated(x, 1.0, whole) && Truncated(x, 100.0, hundredths) && whole * 100 != hundredths;
  const double y = scaled ? x * 100.0 : x;
  return (UpperBits(y) & ~3u) | (scaled ? 1u : 0u);
}

bool RkIsEligible(double x) {
  long long hundredths, tenThousandths;
  if (!Truncated(x, 100.0, hundredths) || !Truncated(x, 10000.0, tenThousandths)) return false;
  if (hundredths * 100 != tenThousandths) return false;
  return RkValue(RkFromDouble(x)) == x;
}

bool RkIsInteger(DWORD rk) { return (rk & 2u) != 0; }

int RkToInteger(DWORD rk) {
  int value = static_cast<int>(rk) >> 2;
  if (rk & 1u) value /= 100;
  return value;
}

double RkToDouble(DWORD rk) {
  double value = FromUpperBits(rk);
  if (rk & 1u) value *= 0.01;
  return value;
}

double RkValue(DWORD rk) {
  const double value = RkIsInteger(rk) ? static_cast<double>(static_cast<int>(rk) >> 2) : FromUpperBits(rk);
  return (rk & 1u) ? value / 100.0 : value;
}
