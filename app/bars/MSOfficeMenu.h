// CMSOfficeMenu: menus the program draws itself. Each item of a drop-down
// shows, in a 22-pixel band on its left, the icon of the toolbar button of
// the same command (or a check box), then its label and, right-aligned, its
// shortcut; separators may carry a centred title. Built from a menu resource
// of the language library; an item with command 1 is a titled separator.
#pragma once

#include <memory>
#include <vector>

#include "platform/wnd.h"

class CAccelTable;

struct CMSOfficeMenuItem {
  CString text;
  int image = -1;      // index in the item's image list
  int toolbar = -1;    // toolbar resource whose bitmap gave the image
  UINT flags = 0;      // menu flags (MF_SEPARATOR marks a separator)
  UINT command = 0;
  std::shared_ptr<CImageList> images;
};

class CMSOfficeMenu : public CMenu {
 public:
  static constexpr int kBand = 22;

  // The message is posted to the owner when the menu goes.
  explicit CMSOfficeMenu(CWnd* owner = nullptr, UINT message = 0);
  ~CMSOfficeMenu() override;

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
  // Builds the menu from a menu resource; false when it is missing.
  virtual bool LoadResourceMenu(UINT id);
  virtual void FreeMenu();

  bool LoadToolbars(const UINT* ids, int count);
  bool LoadToolbarImages(UINT toolbarId);
  bool ModifyItem(const char* text, UINT command, int toolbarId);
  void AddToolbarIcons(UINT toolbarId, CImageList* list);
  void ApplyShortcutLabels(const CAccelTable& table);
  // A new icon of the command's item (the caller destroys it), or null.
  HICON GetCommandIcon(UINT command) const;
  void SetIconSize(int width, int height) {
    m_iconWidth = width;
    m_iconHeight = height;
  }

  // The record of the first item of the command at any depth, or null.
  CMSOfficeMenuItem* FindItem(UINT command) const;
  const std::vector<std::unique_ptr<CMSOfficeMenu>>& GetSubMenus() const { return m_subMenus; }
  const std::vector<std::unique_ptr<CMSOfficeMenuItem>>& GetItems() const { return m_items; }

  // The label before the first TAB (when the TAB is not the first
  // character), without trailing padding.
  static CString StripShortcutText(const CString& text);
  // Pads the labels of the items with a shortcut so the shortcuts line up.
  void AlignShortcutColumn();

  static void DrawCheckBox(CDC* dc, const CRect& rect, bool selected, bool radio, bool enabled, bool tick);

 private:
  CMSOfficeMenuItem* AppendItem(const CString& text, UINT flags, UINT_PTR idOrPopup, int toolbarId);
  void SetItemImage(CMSOfficeMenuItem* item, int toolbarId);
  void DrawDisabledImage(CDC* dc, int x, int y, const CMSOfficeMenuItem* item);
  void DrawSeparator(CDC* dc, const CRect& r, const CMSOfficeMenuItem* item);

  CWnd* m_owner;
  UINT m_message;
  std::vector<std::unique_ptr<CMSOfficeMenuItem>> m_items;
  std::vector<std::unique_ptr<CMSOfficeMenu>> m_subMenus;
  int m_iconWidth = 16;
  int m_iconHeight = 15;
};

// Commands whose items show a check box.
void AddCheckMarkCommand(UINT command);
bool IsCheckMarkCommand(UINT command);
void ClearCheckMarkCommands();

// Builds a menu from a menu resource with the icons of a toolbar and tracks
// its first drop-down at a screen point for the owner.
void ShowIconPopupMenu(UINT menuId, UINT toolbarId, CImageList* list, int x, int y, CWnd* owner, UINT message);

// The shared item font ("Arial", 16) selected into a device context.
class CSelectDefaultTextFont {
 public:
  explicit CSelectDefaultTextFont(CDC* dc);
  ~CSelectDefaultTextFont();

 private:
  CDC* m_dc;
  CFont* m_old;
};
