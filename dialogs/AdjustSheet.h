// The colour adjustment sheet ("Adjust colors"): three pages (brightness
// and contrast; hue, saturation and lightness; red, green, blue) re-colour a
// working copy of the design when a slider is released, with before and
// after previews, "Back to original" and an undo list of slider moves. The
// design given to the sheet changes only when OK is pressed after a change.
//
// The caller's order: copy the design, run the sheet, and when IsChanged
// answers true (whatever button closed it) record one edit-history step
// from the copy.
#pragma once

#include <memory>

#include "controls/Buttons.h"
#include "controls/Edits.h"
#include "design/Pattern.h"
#include "design/PatternUndo.h"
#include "platform/wnd.h"

class CAdjustSheet;
class CColorSet;
class CImage;

// What the three pages share: the previews, the palette, the snapshot the
// page's adjustments start from, and its sliders with their remembered
// positions.
class CAdjustPage : public CPropertyPage {
 public:
  static constexpr int kMaxSliders = 3;

  CExternPatternPreview& GetBeforePreview() { return before_; }
  CExternPatternPreview& GetAfterPreview() { return after_; }
  CSliderCtrl& GetSlider(int i) { return sliders_[i]; }
  int GetSliderCount() const { return sliderCount_; }
  int GetRemembered(int i) const { return remembered_[i]; }
  const CPattern& GetSnapshot() const { return snapshot_; }
  // The label text of slider i at a position.
  virtual CString LabelText(int i, int position) const = 0;

  // The sheet's Undo and Redo (three values, as the page's steps hold
  // them) and its "Back to original".
  virtual void SetValues(int a, int b, int c) = 0;
  virtual void Reset();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;

  struct SliderSpec {
    int id;
    int minimum;
    int maximum;
    int neutral;
    int labelId;
  };

 protected:
  CAdjustPage(UINT normalTemplate, UINT compactTemplate, CColorSet* palette, const SliderSpec* specs, int count);

  CAdjustSheet* Sheet() const;
  void WriteLabels();
  void RememberPositions();
  int Position(int i) const;
  // The sliders at the positions (redrawn), labels rewritten, the snapshot
  // back in the working design.
  void PutPositionsAndRestart(const int* positions, int count);
  // The after preview rendered and the page marked modified.
  void FinishAdjustment();
  virtual void SetLabel(int i, const CString& text);
  // The slider among the page's (-1: none).
  int SliderIndex(CWnd* bar) const;

  afx_msg void OnHScroll(UINT code, UINT position, CScrollBar* bar);
  DECLARE_MESSAGE_MAP()

  CColorSet* palette_;
  CPattern snapshot_;
  CExternPatternPreview before_;
  CExternPatternPreview after_;
  CSliderCtrl sliders_[kMaxSliders];
  SliderSpec specs_[kMaxSliders];
  int sliderCount_;
  int remembered_[kMaxSliders] = {0, 0, 0};
  bool initialised_ = false;
  virtual void OnSliderReleased(int slider) = 0;
};

class CBrightnessContrastPage : public CAdjustPage {
 public:
  explicit CBrightnessContrastPage(CColorSet* palette);
  CString LabelText(int i, int position) const override;
  void SetValues(int brightness, int contrast, int unused) override;
  static int Brightness(int position) { return 5 * position - 255; }
  static int Contrast(int position) { return 2 * position - 100; }

 private:
  void OnSliderReleased(int slider) override;
};

class CHslPage : public CAdjustPage {
 public:
  explicit CHslPage(CColorSet* palette);
  CString LabelText(int i, int position) const override;
  void SetValues(int hue, int saturation, int lightness) override;
  static int Hue(int position) { return 4 * position - 180; }
  static int Shift(int position) { return position - 50; }

 private:
  void OnSliderReleased(int slider) override;
};

class CRGBPage : public CAdjustPage {
 public:
  explicit CRGBPage(CColorSet* palette);
  BOOL OnInitDialog() override;
  CString LabelText(int i, int position) const override;
  void SetValues(int channel, int position, int unused) override { SetChannel(channel, position, unused); }
  void SetChannel(int channel, int position, int unused);
  void Reset() override;

  // The float shift of a slider position, and its label number (x 100,
  // truncated toward zero).
  static float ShiftOf(int position) { return static_cast<float>(position - 41) * 0.025f; }
  static int PercentOf(int position) { return static_cast<int>(ShiftOf(position) * 100.0f); }
  // One channel (0 red, 1 green, 2 blue) of every present bead's colour
  // shifted, the bead given the nearest in-use colour (a bead keeps its
  // index when no colour is in use). One palette look-up per colour index.
  static void ShiftChannel(CPattern& design, const CColorSet& palette, int channel, float shift);

 private:
  void OnSliderReleased(int slider) override;
  void SetLabel(int i, const CString& text) override;
  CColorStatic labels_[3];
};

class CAdjustSheet : public CPropertySheet {
 public:
  CAdjustSheet(CPattern* design, CColorSet* palette, UINT captionId, CWnd* parent, UINT startPage);
  ~CAdjustSheet() override;

  bool IsChanged() const { return changed_; }

  CPattern* GetInitialPattern() { return &initial_; }
  CPattern* GetWorkingPattern() { return &working_; }
  void SetWorkingPattern(const CPattern& design) { working_ = design; }
  bool RenderAfter();
  void PushStep(const CUndoAdjustStep& step);

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void OnBackToOriginal();
  void OnUndo();
  void OnRedo();

  CAdjustPage* GetAdjustPage(int index);
  CBrightnessContrastPage& GetBrightnessContrastPage() { return brightness_; }
  CHslPage& GetHslPage() { return hsl_; }
  CRGBPage& GetRgbPage() { return rgb_; }
  CImage* GetBeforeImage() const { return beforeImage_; }
  CImage* GetAfterImage() const { return afterImage_; }
  const CUndoAdjustStack& GetSteps() const { return steps_; }

 private:
  bool RenderPreview(bool after);
  SIZE PreviewSize(bool after);
  void UpdateUndoButtons();
  void ApplyToDesign();

  CPattern* design_;
  CPattern initial_;
  CPattern working_;
  CColorSet* palette_;
  bool changed_ = false;
  CBrightnessContrastPage brightness_;
  CHslPage hsl_;
  CRGBPage rgb_;
  CButton back_;
  CIButton ok_;
  CIButton undo_;
  CIButton redo_;
  CFont font_;
  CImage* beforeImage_ = nullptr;
  CImage* afterImage_ = nullptr;
  CUndoAdjustStack steps_;
  HICON icon_ = nullptr;
};
