#include "settings/ColorColumnLayout.h"

#include <algorithm>
#include <initializer_list>

#include "core/ByteStream.h"

void CColorColumnLayout::ResetColumns() {
  sortDirection = 1;
  sortColumn = 0;
  auto set = [this](std::initializer_list<int> kinds, BYTE remember, BYTE highlight, BYTE allow, BYTE locked) {
    columns.clear();
    for (int kind : kinds) columns.push_back(CColumnPair{kind, kColumnAutoWidth});
    rememberSelection = remember;
    highlightShortage = highlight;
    allowUsageChange = allow;
    usageChangeLocked = locked;
  };
  switch (preset) {
    case 0: set({kColumnMfgName, kColumnNickname, kColumnCount}, 0, 0, 0, 1); break;
    case 1: set({kColumnMfgName, kColumnNickname, kColumnUsage}, 0, 0, 1, 0); break;
    case 2: set({kColumnMfgName, kColumnCount, kColumnUsage}, 0, 0, 1, 0); break;
    default: columns.clear(); break;
  }
}

bool CColorColumnLayout::Write(CByteStream& s) const {
  if (!s.WriteByte(rememberSelection) || !s.WriteByte(highlightShortage) || !s.WriteByte(allowUsageChange) ||
      !s.WriteByte(usageChangeLocked) || !s.WriteByte(sortDirection) || !s.WriteInt(sortColumn) ||
      !s.WriteInt(static_cast<DWORD>(columns.size())))
    return false;
  for (const CColumnPair& column : columns)
    if (!s.WriteIntPair(column.kind, column.width)) return false;
  return s.WriteZeros(128);
}

bool CColorColumnLayout::ReadHead(CByteStream& s) {
  DWORD count = 0;
  if (!s.ReadByte(rememberSelection) || !s.ReadByte(highlightShortage) || !s.ReadByte(allowUsageChange) ||
      !s.ReadByte(usageChangeLocked) || !s.ReadByte(sortDirection) || !s.ReadInt(sortColumn) || !s.ReadInt(count))
    return false;
  if (static_cast<unsigned long long>(count) * 8 > static_cast<unsigned long long>(s.GetRemaining())) return false;
  CColumnArray read(count);
  for (CColumnPair& column : read)
    if (!s.ReadIntPair(column.kind, column.width)) return false;
  columns.swap(read);
  return true;
}

bool CColorColumnLayout::Read(CByteStream& s) { return ReadHead(s) && s.Skip(128); }

bool CColorColumnLayout::ReadV2(CByteStream& s) {
  int ignored = 0;
  return ReadHead(s) && s.Skip(4) && s.ReadInt(ignored) && s.Skip(124);
}

bool CColorColumnLayout::HasAutoWidth() const {
  return std::any_of(columns.begin(), columns.end(), [](const CColumnPair& p) { return p.width == kColumnAutoWidth; });
}
