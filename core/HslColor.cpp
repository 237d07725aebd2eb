#include "core/HslColor.h"

namespace {

BYTE TruncToByte(float v) {
  // Truncation toward zero; the byte keeps the low 8 bits as a conversion
  // through an integer would.
  return static_cast<BYTE>(static_cast<int>(v));
}

}  // namespace

CHslColor::CHslColor(COLORREF packed) {
  rgba_[0] = static_cast<BYTE>(packed & 0xFF);
  rgba_[1] = static_cast<BYTE>((packed >> 8) & 0xFF);
  rgba_[2] = static_cast<BYTE>((packed >> 16) & 0xFF);
  rgba_[3] = static_cast<BYTE>((packed >> 24) & 0xFF);
}

void CHslColor::ComputeHsl() {
  // The single-precision form of the HSL rule (core/HslColor.h): its
  // rounding is the one the colour operations on designs have always had.
  RgbToHslParts(rgba_[0], rgba_[1], rgba_[2], hue_, saturation_, lightness_);
  hslValid_ = 1;
}

void CHslColor::EnsureHsl() {
  if (!hslValid_) ComputeHsl();
}

void CHslColor::UpdateRgb() {
  if (saturation_ == 0.0f) {
    const BYTE v = TruncToByte(lightness_ * 255.0f);
    rgba_[0] = rgba_[1] = rgba_[2] = v;
    return;
  }
  float shares[3];
  HslToRgbShares(hue_, saturation_, lightness_, shares);
  for (int i = 0; i < 3; ++i) rgba_[i] = TruncToByte(shares[i] * 255.0f);
}

void CHslColor::EnsureRgb() {
  if (!rgbValid_) {
    UpdateRgb();
    rgbValid_ = 1;
  }
}

COLORREF CHslColor::GetColorRef() {
  EnsureRgb();
  return static_cast<COLORREF>(rgba_[0]) | (static_cast<COLORREF>(rgba_[1]) << 8) |
         (static_cast<COLORREF>(rgba_[2]) << 16) | (static_cast<COLORREF>(rgba_[3]) << 24);
}

BYTE CHslColor::GetRed() {
  EnsureRgb();
  return rgba_[0];
}
BYTE CHslColor::GetGreen() {
  EnsureRgb();
  return rgba_[1];
}
BYTE CHslColor::GetBlue() {
  EnsureRgb();
  return rgba_[2];
}

float CHslColor::GetHue() {
  EnsureHsl();
  return hue_;
}
float CHslColor::GetSaturation() {
  EnsureHsl();
  return saturation_;
}
float CHslColor::GetLightness() {
  EnsureHsl();
  return lightness_;
}

void CHslColor::SetHue(float hue) {
  EnsureHsl();
  hue_ = hue;
  rgbValid_ = 0;
}
void CHslColor::SetSaturation(float saturation) {
  EnsureHsl();
  saturation_ = saturation;
  rgbValid_ = 0;
}
void CHslColor::SetLightness(float lightness) {
  EnsureHsl();
  lightness_ = lightness;
  rgbValid_ = 0;
}

void CHslColor::SetHsl(float hue, float lightness, float saturation) {
  hue_ = hue;
  lightness_ = lightness;
  saturation_ = saturation;
  hslValid_ = 1;
  rgbValid_ = 0;
}
