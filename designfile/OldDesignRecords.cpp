#include "designfile/OldDesignRecords.h"

#include <cstring>

#include "core/ByteStream.h"
#include "settings/GridSettings.h"

namespace {

bool ReadFont(CByteStream& s, LOGFONT& font) { return s.ReadBytes(&font, sizeof(LOGFONT)); }

}  // namespace

COldTextItem::COldTextItem() {
  std::memset(&font, 0, sizeof(font));
  font.lfHeight = 48;
  std::memcpy(font.lfFaceName, "Arial", 6);
}

bool COldTextItem::Read(CByteStream& s) {
  return s.ReadIntPair(x, y) && s.ReadString(text) && s.ReadInt(value) && s.ReadInt(colors[0]) &&
         s.ReadInt(colors[1]) && s.ReadInt(colors[2]) && ReadFont(s, font) && s.ReadByte(flags[0]) &&
         s.ReadInt(lastColor) && s.ReadByte(flags[1]) && s.ReadByte(flags[2]) && s.Skip(64);
}

bool COldTextItemList::Read(CByteStream& s) {
  DWORD count = 0;
  if (!s.ReadByte(flag) || !s.ReadInt(count)) return false;
  items.clear();
  // An item takes at least 156 bytes: no room is made for more than fit.
  if (static_cast<unsigned long long>(count) * 156 > static_cast<unsigned long long>(s.GetRemaining())) return false;
  for (DWORD i = 0; i < count; ++i) {
    COldTextItem item;
    if (!item.Read(s)) {
      items.clear();
      return false;
    }
    items.push_back(item);
  }
  return s.ReadInt(value) && s.Skip(128);
}

bool COldEntry::Read(CByteStream& s) {
  return s.ReadInt(values[0]) && s.ReadByte(flags[0]) && s.ReadInt(values[1]) && s.ReadByte(flags[1]) &&
         s.ReadInt(values[2]) && s.ReadInt(values[3]) && s.Skip(16);
}

bool COldEntryList::Read(CByteStream& s) {
  DWORD count = 0;
  if (!s.ReadInt(count)) return false;
  if (static_cast<unsigned long long>(count) * 34 > static_cast<unsigned long long>(s.GetRemaining())) return false;
  entries.clear();
  entries.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    COldEntry entry;
    if (!entry.Read(s)) return false;
    entries.push_back(entry);
  }
  return s.Skip(32);
}

void COld40Record::SetDefaults() {
  static const BYTE kBytes[10] = {0, 20, 40, 0, 20, 40, 0, 30, 0, 30};
  std::memcpy(bytes, kBytes, sizeof(bytes));
  value = 0;
  first = true;
  second = false;
}

bool COld40Record::IsValid() const {
  for (int i : {0, 3, 6, 8})
    if (bytes[i] > 1) return false;
  for (int i : {1, 2, 4, 5, 7})
    if (bytes[i] == 0) return false;
  return true;
}

bool COld40Record::Read(CByteStream& s) {
  BYTE inverted1 = 0, inverted2 = 0;
  if (!s.ReadBytes(bytes, 10) || !s.ReadInt(value) || !s.ReadByte(inverted1) || !s.ReadByte(inverted2) ||
      !s.Skip(24))
    return false;
  // Stored inverted: 1 on file means false.
  first = inverted1 == 0;
  second = inverted2 == 0;
  if (!IsValid()) SetDefaults();
  return true;
}

bool COld17Record::Read(CByteStream& s) {
  return s.ReadInt(value) && s.ReadByte(flag) && s.ReadIntPair(x, y) && s.Skip(4);
}

bool SkipPictureBlock(CByteStream& s) {
  // The marker that opens a picture block in a byte stream.
  static const char kMarker[] = "ADDF938B-0BB5-4aef-8636-9006FE6036EE";
  const int markerLength = static_cast<int>(sizeof(kMarker) - 1);
  CString text;
  if (s.GetRemaining() > markerLength &&
      std::memcmp(s.GetBuffer() + s.GetPosition(), kMarker, static_cast<size_t>(markerLength)) == 0) {
    if (!s.ReadString(text) || !s.ReadString(text) || !s.Skip(128)) return false;
  }
  DWORD size = 0;
  if (!s.ReadString(text) || !s.ReadInt(size)) return false;
  if (size > static_cast<DWORD>(s.GetRemaining())) return false;
  return s.Skip(static_cast<int>(size));
}

bool COldPictureRecord::Read(CByteStream& s) {
  if (!s.ReadByte(flag)) return false;
  for (int& v : values)
    if (!s.ReadInt(v)) return false;
  if (!s.ReadDouble(scale) || !s.ReadByte(hasPicture)) return false;
  if (hasPicture != 0 && !SkipPictureBlock(s)) return false;
  return s.ReadString(text) && s.ReadByte(bytes[0]) && s.ReadByte(bytes[1]) && s.ReadInt(color) && s.Skip(27);
}

bool ReadOldGridRecord(CByteStream& s) {
  CGridSettings grid;
  BYTE b = 0;
  DWORD v = 0;
  return grid.Read(s) && s.ReadByte(b) && s.ReadInt(v) && s.ReadInt(v) && s.ReadInt(v) && s.ReadByte(b) &&
         s.ReadInt(v) && s.ReadByte(b) && s.Skip(11);
}
