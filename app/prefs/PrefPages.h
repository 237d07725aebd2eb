// The preference pages of the settings record: Start-up (133), Memory Usage
// (130), Ruler bars metrics (423), Status Bar Info (175) and PDF page size
// (183). Each reads its fields when made and writes them only in Apply,
// after its checks; a refused value is reported with a stop-icon box, the
// focus goes to it and nothing is stored.
#pragma once

#include "app/prefs/PropDlg.h"
#include "controls/Edits.h"

class CStartupOpt : public CPropDlg {
 public:
  explicit CStartupOpt(CWnd* parent);
  BOOL OnInitDialog() override;
  void Apply() override;
  void OnOK() override { Apply(); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  CSpinButtonCtrl m_spin;
  int m_reload;
  int m_count;
};

class CVirtualScreenSize : public CPropDlg {
 public:
  static constexpr int kMinPercent = 50;
  static constexpr int kMaxPercent = 2000;

  explicit CVirtualScreenSize(CWnd* parent);
  BOOL OnInitDialog() override;
  void Apply() override;
  // "4 192" for 100 %: ((percent x 1048576) / 100 / 1000) x 4, grouped.
  static CString KilobyteText(int percent);
  int GetPercent() const { return m_percent; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnPercentChanged();
  DECLARE_MESSAGE_MAP()

 private:
  void WriteControls();
  void ShowKilobytes();

  CColorStatic m_text1;
  CColorStatic m_text2;
  CSliderCtrl m_slider;
  CNumEdit m_maxBeads;
  int m_percent;
  int m_quality;
  bool m_updating = false;
};

class CRulerMetricsDlg : public CPropDlg {
 public:
  explicit CRulerMetricsDlg(CWnd* parent);
  BOOL OnInitDialog() override;
  void Apply() override;
};

class CStatusbarInfoDlg : public CPropDlg {
 public:
  explicit CStatusbarInfoDlg(CWnd* parent);
  BOOL OnInitDialog() override;
  void Apply() override;
};

class CPDFPageSizeDlg : public CPropDlg {
 public:
  explicit CPDFPageSizeDlg(CWnd* parent);
  BOOL OnInitDialog() override;
  void Apply() override;
  // The page texts of a format (0 A2, 1 A3, 2 A4) from the default A4 size.
  static void FormatSizeTexts(int format, CString& width, CString& height);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnByDefault();
  afx_msg void OnFormatChanged();
  DECLARE_MESSAGE_MAP()

 private:
  void SetUnits(int units);

  CColorStatic m_text1;
  CColorStatic m_zoomText;
  CFloatEdit m_height;
  CFloatEdit m_width;
  CFloatEdit m_zoomEdit;
  CComboBox m_units;
  CComboBox m_format;
  double m_widthValue;
  double m_heightValue;
  double m_zoom;
  int m_pageFormat;
};
