// CHslColor: one colour held as RGB bytes and as hue, saturation and
// lightness; each form is computed from the other only when asked for.
#pragma once

#include "platform/base.h"

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
  bool IsHslValid() const { return hslValid_ != 0; }

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
