// The column chooser of the palette colour lists: the user drags column
// names between "Used columns" and "Other columns" and reorders the used
// ones. CSelectColumnsBaseDlg is the dialog over two list views;
// CSelectDisplayingColumnsDlg ("Select displaying columns") adds the list's
// option check boxes and is what every colour list's "Columns..." opens
// (InstallSelectColumnsDialog hands it to the colour lists).
#pragma once

#include <memory>

#include "controls/Edits.h"
#include "core/DialogServices.h"
#include "platform/wnd.h"

// The two column vectors and what a drop does to them, without windows.
// Lists: 0 "Used columns", 1 "Other columns".
class CColumnChoice {
 public:
  CColumnChoice(const CColumnLayout& used, int fixedCount);

  // Every column type 0..20 that no used entry has, ascending, at the
  // default width.
  void RebuildOther();
  // Whether a drag may start from that row of that list.
  bool CanDrag(int list, int row) const;
  // Drops the row dragged from one list onto a row of a list (-1: no row
  // under the pointer, which counts as row 0). True when the vectors
  // changed.
  bool Drop(int fromList, int draggedRow, int toList, int dropRow);

  const CColumnLayout& Used() const { return used_; }
  const CColumnLayout& Other() const { return other_; }
  CColumnLayout& Used() { return used_; }
  int FixedCount() const { return fixed_; }

  static constexpr int kDefaultWidth = -7;
  static constexpr int kColumnKinds = 21;

 private:
  CColumnLayout used_;
  CColumnLayout other_;
  int fixed_;
};

class CSelectColumnsBaseDlg : public CDialog {
 public:
  CSelectColumnsBaseDlg(UINT templateId, int fixedCount, const CColumnLayout& columns, CWnd* parent);
  ~CSelectColumnsBaseDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

  // The chosen columns (after OK), each at the default width.
  void GetColumns(CColumnLayout& out) const { out = choice_.Used(); }
  const CColumnChoice& GetChoice() const { return choice_; }
  CListCtrl& GetUsedList() { return used_; }
  CListCtrl& GetOtherList() { return other_; }

  // The drag as the mouse does it: a drag of a row of a list (0 used, 1
  // other) starts, then the button comes up at a point in the dialog's
  // client coordinates. False when the drag may not start.
  bool StartDrag(int list, int row);
  void DropAt(CPoint client);
  bool IsDragging() const { return dragging_; }

 protected:
  afx_msg void OnBeginDragUsed(NMHDR* hdr, LRESULT* result);
  afx_msg void OnBeginDragOther(NMHDR* hdr, LRESULT* result);
  afx_msg void OnMouseMove(UINT flags, CPoint point);
  afx_msg void OnLButtonUp(UINT flags, CPoint point);
  afx_msg void OnCustomDrawUsed(NMHDR* hdr, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  void FillLists();
  static void FillList(CListCtrl& list, const CColumnLayout& entries);
  void EndImageDrag();
  void FreeIcon();

  CColorStatic hint_;
  CListCtrl other_;
  CListCtrl used_;
  CColumnChoice choice_;
  int source_ = 0;
  bool dragging_ = false;
  int dragRow_ = -1;
  std::unique_ptr<CImageList> dragImage_;
  CPoint dragOffset_{8, 8};
  HICON icon_ = nullptr;
};

class CSelectDisplayingColumnsDlg : public CSelectColumnsBaseDlg {
 public:
  CSelectDisplayingColumnsDlg(const CColumnLayout& columns, const CColumnListOptions& options, CWnd* parent);
  ~CSelectDisplayingColumnsDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;

  bool GetRememberSelection() const { return options_.rememberSelection != 0; }
  bool GetHighlightShortage() const { return options_.highlightShortage != 0; }
  bool GetAllowUsageChange() const { return options_.allowUsageChange != 0; }
  const CColumnListOptions& GetOptions() const { return options_; }

 private:
  CColumnListOptions options_;
};

// Installs the displaying-columns dialog for every colour list's
// "Columns..." (SetSelectColumnsDialog).
void InstallSelectColumnsDialog();
