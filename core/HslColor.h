// CHslColor: one colour held as RGB bytes and as hue, saturation and
// lightness; each form is computed from the other only when asked for.
#pragma once

#include <algorithm>

#include "platform/base.h"

// ---- The HSL rule ----
// One rule turns RGB bytes into hue (degrees), saturation and lightness
// (0..1) and back, in two precisions: single for CHslColor (the colour
// operations on designs) and double for the packed HSL bytes of
// controls/ButtonDrawing.h (the faces of owner-drawn controls). Each
// precision keeps the rounding it has always had, so that equal colours
// recolour the same beads and paint the same faces to the byte: single
// precision adds a hue sector's offset last and multiplies the ramps by its
// own 1/60; double precision adds the offset first and divides by 60. Over
// all 2^24 colours the two orders differ in the last bit for some, and a
// truncated byte then moves by one.
template <typename T>
struct HslRounding;

template <>
struct HslRounding<float> {
  static float Sector(float offset, float a, float b) { return a - b + offset; }
  static float Ramp(float x) { return x * (1.0f / 60.0f); }
};

template <>
struct HslRounding<double> {
  static double Sector(double offset, double a, double b) { return offset + a - b; }
  static double Ramp(double x) { return x / 60; }
};

// Hue in degrees (0..360), saturation and lightness (0..1) of RGB bytes; a
// grey has hue and saturation 0. Where two channels share the maximum, blue
// wins over green and green over red.
template <typename T>
void RgbToHslParts(int r, int g, int b, T& hue, T& saturation, T& lightness) {
  using R = HslRounding<T>;
  const int mx = std::max(r, std::max(g, b));
  const int mn = std::min(r, std::min(g, b));
  lightness = static_cast<T>(mx + mn) / T(510);
  hue = T(0);
  saturation = T(0);
  if (mx == mn) return;
  const T d = static_cast<T>(mx - mn);
  saturation = lightness <= T(0.5) ? d / static_cast<T>(mx + mn) : d / static_cast<T>(510 - mx - mn);
  const T rp = static_cast<T>(mx - r) / d;
  const T gp = static_cast<T>(mx - g) / d;
  const T bp = static_cast<T>(mx - b) / d;
  if (b == mx)
    hue = R::Sector(T(4), gp, rp) * T(60);
  else if (g == mx)
    hue = R::Sector(T(2), rp, bp) * T(60);
  else
    hue = R::Sector(T(6), bp, gp) * T(60);
  if (hue > T(360)) hue -= T(360);
}

// The share (0..1) of one channel, for the bounds m1 <= m2 of the colour's
// lightness and the channel's hue in degrees (wrapped once into 0..360).
template <typename T>
T HslChannelShare(T m1, T m2, T hue) {
  using R = HslRounding<T>;
  if (hue > T(360))
    hue -= T(360);
  else if (hue < T(0))
    hue += T(360);
  if (hue < T(60)) return m1 + R::Ramp((m2 - m1) * hue);
  if (hue < T(180)) return m2;
  if (hue < T(240)) return m1 + R::Ramp((m2 - m1) * (T(240) - hue));
  return m1;
}

// The shares (0..1) of red, green and blue of a colour that is not grey
// (saturation above 0).
template <typename T>
void HslToRgbShares(T hue, T saturation, T lightness, T shares[3]) {
  const T l = lightness, s = saturation;
  const T m2 = l > T(0.5) ? l + s - l * s : l * (T(1) + s);
  const T m1 = T(2) * l - m2;
  shares[0] = HslChannelShare(m1, m2, hue + T(120));
  shares[1] = HslChannelShare(m1, m2, hue);
  shares[2] = HslChannelShare(m1, m2, hue - T(120));
}

class CHslColor {
 public:
  explicit CHslColor(COLORREF packed);

  COLORREF GetColorRef();
  BYTE GetRed();
  BYTE GetGreen();
  BYTE GetBlue();

  float GetHue();         // degrees, 0..360
  float GetSaturation();  // 0..1
  float GetLightness();   // 0..1

  void SetHue(float hue);
  void SetSaturation(float saturation);
  void SetLightness(float lightness);
  // Note the argument order: hue, lightness, saturation.
  void SetHsl(float hue, float lightness, float saturation);
  // Recomputes the RGB bytes from the HSL form, leaving the validity flags.
  void UpdateRgb();

  bool IsRgbValid() const { return rgbValid_ != 0; }

 private:
  void EnsureRgb();
  void EnsureHsl();
  void ComputeHsl();

  BYTE rgba_[4];  // red, green, blue and the creator's fourth byte
  float hue_ = 0.0f;
  float saturation_ = 0.0f;
  float lightness_ = 0.0f;
  BYTE rgbValid_ = 1;
  BYTE hslValid_ = 0;
};
