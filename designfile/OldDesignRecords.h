// Records that design blobs of older files carry for things this program
// no longer has (text items, layout entries, page and picture records of
// the earlier products). They are parsed only to reach what follows them:
// each has its defaults and a reader, none is written or kept.
#pragma once

#include <vector>

#include "platform/base.h"

class CByteStream;

// One text item.
struct COldTextItem {
  COldTextItem();
  // i32 pair, text, i32, three colours, LOGFONT (60 bytes), u8, colour, u8,
  // u8, 64 reserved bytes.
  bool Read(CByteStream& stream);

  int x = 0, y = 0;
  CString text;
  int value = 0;
  COLORREF colors[3] = {0xFFFFFF, 255, 0xFF0000};
  LOGFONT font{};
  BYTE flags[3] = {0, 255, 0};  // stored around the last colour: flag, colour, flag, flag
  COLORREF lastColor = 0xFF00;
};

// The text-item list: u8 flag, u32 count, the items, i32, 128 reserved
// bytes. A failing item empties the list.
struct COldTextItemList {
  bool Read(CByteStream& stream);

  BYTE flag = 0;
  std::vector<COldTextItem> items;
  int value = 0;
};

// One 34-byte entry of an entry list: i32, u8, i32, u8, i32, i32, 16
// reserved bytes.
struct COldEntry {
  bool Read(CByteStream& stream);
  // Stored as value, flag, value, flag, value, value.
  int values[4] = {-1, -1, 0, 0};
  BYTE flags[2] = {0, 0};
};

// u32 count, the entries, 32 reserved bytes.
struct COldEntryList {
  bool Read(CByteStream& stream);
  std::vector<COldEntry> entries;
};

// The 40-byte record: ten bytes, i32, two bytes stored inverted, 24
// reserved bytes. One that fails its validity test takes the defaults.
struct COld40Record {
  COld40Record() { SetDefaults(); }
  void SetDefaults();
  bool IsValid() const;
  bool Read(CByteStream& stream);
  BYTE bytes[10];
  int value;
  bool first;
  bool second;
};

// The 17-byte record: i32, u8, i32 pair, 4 reserved bytes.
struct COld17Record {
  void SetDefaults() { *this = COld17Record(); }
  bool Read(CByteStream& stream);
  int value = 100;
  BYTE flag = 1;
  int x = 0, y = 0;
};

// The picture record of version 16: u8, five i32, f64, a picture flag and,
// when set, a picture block, a text, u8, u8, colour, 27 reserved bytes.
// The picture block is passed over without decoding the picture.
struct COldPictureRecord {
  bool Read(CByteStream& stream);
  BYTE flag = 0;
  int values[5] = {0, 0, 1, 0, 0};
  double scale = 46.0;
  BYTE hasPicture = 0;
  CString text;
  BYTE bytes[2] = {255, 0};
  COLORREF color = 0xFFFFFF;
};

// Passes over a picture block of a byte stream (optional marker, file
// name and 128 reserved bytes, encoding name, size-prefixed picture data)
// without decoding it.
bool SkipPictureBlock(CByteStream& stream);

// The grid record of design files (47 bytes): the five grid settings, seven
// further fields and 11 reserved bytes. Read into a CGridSettings that is
// dropped.
bool ReadOldGridRecord(CByteStream& stream);
