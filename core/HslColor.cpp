#include "core/HslColor.h"

#include <algorithm>

namespace {

// 1/60 as a single-precision constant.
constexpr float kOneSixtieth = 0.016666668f;

float Channel(float m1, float m2, float h) {
  if (h > 360.0f)
    h -= 360.0f;
  else if (h < 0.0f)
    h += 360.0f;
  float v;
  if (h < 60.0f)
    v = m1 + (m2 - m1) * h * kOneSixtieth;
  else if (h < 180.0f)
    v = m2;
  else if (h < 240.0f)
    v = m1 + (m2 - m1) * (240.0f - h) * kOneSixtieth;
  else
    v = m1;
  return v * 255.0f;
}

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
  const int r = rgba_[0], g = rgba_[1], b = rgba_[2];
  const int mx = std::max(r, std::max(g, b));
  const int mn = std::min(r, std::min(g, b));
  lightness_ = static_cast<float>(mx + mn) / 510.0f;
  if (mx == mn) {
    saturation_ = 0.0f;
    hue_ = 0.0f;
  } else {
    const float d = static_cast<float>(mx - mn);
    if (lightness_ <= 0.5f)
      saturation_ = d / static_cast<float>(mx + mn);
    else
      saturation_ = d / static_cast<float>(510 - mx - mn);
    const float rp = static_cast<float>(mx - r) / d;
    const float gp = static_cast<float>(mx - g) / d;
    const float bp = static_cast<float>(mx - b) / d;
    if (r == mx) hue_ = (bp - gp + 6.0f) * 60.0f;
    if (g == mx) hue_ = (rp - bp + 2.0f) * 60.0f;
    if (b == mx) hue_ = (gp - rp + 4.0f) * 60.0f;
    if (hue_ > 360.0f) hue_ -= 360.0f;
  }
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
  const float l = lightness_, s = saturation_;
  const float m2 = l > 0.5f ? l + s - l * s : l * (1.0f + s);
  const float m1 = 2.0f * l - m2;
  rgba_[0] = TruncToByte(Channel(m1, m2, hue_ + 120.0f));
  rgba_[1] = TruncToByte(Channel(m1, m2, hue_));
  rgba_[2] = TruncToByte(Channel(m1, m2, hue_ - 120.0f));
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
