// CAccelTable: the user's shortcut keys, stored as "Accel_28_Jan_2010"
// under the program key (count, then 6-byte entries), applied to the main
// frame as its accelerator table and shown in the main menu's labels.
#pragma once

#include <vector>

#include "platform/base.h"

class CWnd;

// One shortcut: the modifier bits of the hot-key control (0x01 Shift, 0x02
// Ctrl, 0x04 Alt, 0x08 extended), the virtual key and the command.
struct CAccelEntry {
  BYTE modifiers = 0;
  BYTE reserved = 0;
  WORD key = 0;
  WORD command = 0;
  friend bool operator==(const CAccelEntry&, const CAccelEntry&) = default;
};

class CAccelTable {
 public:
  static constexpr const char* kValueName = "Accel_28_Jan_2010";
  static constexpr BYTE kShift = 0x01;
  static constexpr BYTE kCtrl = 0x02;
  static constexpr BYTE kAlt = 0x04;

  explicit CAccelTable(UINT resourceId = 0) : m_resourceId(resourceId) {}

  // The stored table; false when missing or short (the entries read so far
  // stay).
  bool Load();
  bool LoadFromBytes(const BYTE* data, size_t size);
  bool Save() const;
  std::vector<BYTE> ToBytes() const;
  // The accelerator resource of the table's id; false when there is none.
  bool LoadDefaults();
  void LoadOrDefaults();
  // Replaces the window's accelerator table by one made from the entries
  // (none for an empty table).
  void Apply(CWnd* frame) const;

  // The command's entry gets the modifiers and key, or goes when the key is
  // 0; a command without entry gets one appended.
  void SetKey(const CAccelEntry& entry);
  bool Find(UINT command, CAccelEntry& out) const;
  // False when another command has the same modifiers and key.
  bool IsKeyFree(const CAccelEntry& entry) const;
  // "Ctrl+", "Shift+", "Alt+" and the key's name; false without an entry.
  bool GetKeyText(UINT command, CString& text) const;
  static CString KeyName(WORD key);
  static CString ComboText(BYTE modifiers, WORD key);

  const std::vector<CAccelEntry>& GetEntries() const { return m_entries; }
  void Clear() { m_entries.clear(); }

 private:
  std::vector<CAccelEntry> m_entries;
  UINT m_resourceId;
};
