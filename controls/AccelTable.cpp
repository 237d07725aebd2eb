#include "controls/AccelTable.h"

#include "core/ByteStream.h"
#include "core/Registry.h"
#include "platform/base/resource.h"
#include "platform/wnd.h"

bool CAccelTable::Load() {
  std::vector<BYTE> bytes;
  if (!ReadProgramBinaryValue(kValueName, bytes, false)) return false;
  return LoadFromBytes(bytes.data(), bytes.size());
}

bool CAccelTable::LoadFromBytes(const BYTE* data, size_t size) {
  m_entries.clear();
  if (size > 0x7FFFFFFF) return false;
  std::vector<BYTE> copy(data, data + size);
  CByteStream stream(copy.data(), static_cast<int>(copy.size()));
  int count = 0;
  if (!stream.ReadInt(count)) return false;
  for (int i = 0; i < count; ++i) {
    CAccelEntry e;
    BYTE reserved = 0;
    if (!stream.ReadByte(e.modifiers) || !stream.ReadByte(reserved) || !stream.ReadInt16(e.key) ||
        !stream.ReadInt16(e.command))
      return false;
    m_entries.push_back(e);
  }
  return true;
}

std::vector<BYTE> CAccelTable::ToBytes() const {
  std::vector<BYTE> bytes(4 + 6 * m_entries.size());
  CByteStream stream(bytes.data(), static_cast<int>(bytes.size()));
  stream.WriteInt(static_cast<int>(m_entries.size()));
  for (const CAccelEntry& e : m_entries) {
    stream.WriteByte(e.modifiers);
    stream.WriteByte(0);
    stream.WriteInt16(e.key);
    stream.WriteInt16(e.command);
  }
  return bytes;
}

bool CAccelTable::Save() const { return WriteProgramBinaryValue(kValueName, ToBytes(), false); }

bool CAccelTable::LoadDefaults() {
  if (m_resourceId == 0) return false;
  const QmAcceleratorTable* table = LoadAcceleratorTable(AfxGetResourceHandle(), m_resourceId);
  if (!table) return false;
  m_entries.clear();
  for (const ACCEL& a : table->entries) {
    CAccelEntry e;
    if (a.fVirt & FSHIFT) e.modifiers |= kShift;
    if (a.fVirt & FCONTROL) e.modifiers |= kCtrl;
    if (a.fVirt & FALT) e.modifiers |= kAlt;
    e.key = a.key;
    e.command = a.cmd;
    m_entries.push_back(e);
  }
  return true;
}

void CAccelTable::LoadOrDefaults() {
  if (!Load()) LoadDefaults();
}

void CAccelTable::Apply(CWnd* window) const {
  auto* frame = dynamic_cast<CFrameWnd*>(window);
  if (!frame) return;
  if (frame->m_hAccelTable) {
    DestroyAcceleratorTable(frame->m_hAccelTable);
    frame->m_hAccelTable = nullptr;
  }
  if (m_entries.empty()) return;
  std::vector<ACCEL> table;
  for (const CAccelEntry& e : m_entries) {
    ACCEL a{};
    // Shift, Ctrl and Alt bits become FSHIFT, FCONTROL and FALT.
    a.fVirt = static_cast<BYTE>(((e.modifiers & 0x07) << 2) | FVIRTKEY);
    a.key = e.key;
    a.cmd = e.command;
    table.push_back(a);
  }
  frame->m_hAccelTable = CreateAcceleratorTable(table.data(), static_cast<int>(table.size()));
}

void CAccelTable::SetKey(const CAccelEntry& entry) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
    if (it->command == entry.command) {
      if (entry.key == 0) {
        m_entries.erase(it);
      } else {
        it->modifiers = entry.modifiers;
        it->key = entry.key;
      }
      return;
    }
  if (entry.key != 0) m_entries.push_back(entry);
}

bool CAccelTable::Find(UINT command, CAccelEntry& out) const {
  for (const CAccelEntry& e : m_entries)
    if (e.command == command) {
      out = e;
      return true;
    }
  return false;
}

bool CAccelTable::IsKeyFree(const CAccelEntry& entry) const {
  for (const CAccelEntry& e : m_entries)
    if (e.command != entry.command && e.modifiers == entry.modifiers && e.key == entry.key) return false;
  return true;
}

CString CAccelTable::KeyName(WORD key) {
  switch (key) {
    case 8: return "Back";
    case 13: return "Return";
    case 9: return "Tab";
    case 27: return "Esc";
    case 32: return "Space";
    case 46: return "Delete";
    case 45: return "Insert";
    case 40: return "Down";
    case 38: return "Up";
    case 39: return "Right";
    case 37: return "Left";
    case 36: return "Home";
    case 35: return "End";
    case 145: return "Scroll";
    case 144: return "NumLock";
    case 107: return "Add";
    case 108: return "Separator";
    case 109: return "Subtract";
    case 110: return "Decimal";
    case 111: return "Divide";
    case 33: return "Page Up";
    case 34: return "Page Down";
    default: break;
  }
  CString text;
  if (key >= 96 && key <= 105) text.Format("Num %u", static_cast<unsigned>(key - 96));
  else if (key >= 112 && key <= 135) text.Format("F%u", static_cast<unsigned>(key - 111));
  else text.Format("%c", static_cast<char>(key));
  return text;
}

CString CAccelTable::ComboText(BYTE modifiers, WORD key) {
  CString text;
  if (modifiers & kCtrl) text += "Ctrl+";
  if (modifiers & kShift) text += "Shift+";
  if (modifiers & kAlt) text += "Alt+";
  text += KeyName(key);
  return text;
}

bool CAccelTable::GetKeyText(UINT command, CString& text) const {
  CAccelEntry e;
  if (!Find(command, e)) return false;
  text = ComboText(e.modifiers, e.key);
  return true;
}
