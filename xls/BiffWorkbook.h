// The workbook-global record set of the workbook stream and its records.
#pragma once

#include <vector>

#include "xls/BiffRecord.h"

namespace Biff {

class Workbook {
 public:
  class Window1 : public Record {
   public:
    static constexpr WORD kId = 0x003D;
    Window1() : Record(kId, 18) {}
    WORD horizontalPosition = 120;
    WORD verticalPosition = 120;
    WORD width = 15135;
    WORD height = 9300;
    WORD options = 0x0038;
    WORD activeSheet = 0;
    WORD firstVisibleTab = 0;
    WORD selectedSheets = 1;
    WORD tabBarWidth = 600;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  class Font : public Record {
   public:
    static constexpr WORD kId = 0x0031;
    Font();
    DWORD DataSize() override;
    WORD height = 200;
    WORD options = 0;
    WORD colorIndex = 0x7FFF;
    WORD weight = 400;
    WORD escapement = 0;
    BYTE underline = 0;
    BYTE family = 0;
    BYTE charSet = 0;
    BYTE reserved = 0;
    XlsShortString name;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  class Format : public Record {
   public:
    static constexpr WORD kId = 0x041E;
    Format() : Record(kId, 0) {}
    DWORD DataSize() override;
    WORD index = 0;
    XlsLongString format;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  class XF : public Record {
   public:
    static constexpr WORD kId = 0x00E0;
    XF() : Record(kId, 20) {}
    WORD fontIndex = 0;
    WORD formatIndex = 0;
    WORD typeProtection = 0xFFF5;
    BYTE alignment = 0x20;
    BYTE rotation = 0;
    BYTE textProperties = 0;
    BYTE usedAttributes = 0;
    DWORD borderLines = 0;
    DWORD borderColorsPattern = 0;
    WORD fillColors = 0x20C0;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  class Style : public Record {
   public:
    static constexpr WORD kId = 0x0293;
    Style() : Record(kId, 0) {}
    DWORD DataSize() override;
    bool IsBuiltIn() const { return (xfIndex & 0x8000) != 0; }
    WORD xfIndex = 0x8000;
    BYTE styleId = 0;
    BYTE level = 0xFF;
    XlsLongString name;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  class BoundSheet : public Record {
   public:
    static constexpr WORD kId = 0x0085;
    BoundSheet();
    DWORD DataSize() override;
    DWORD streamPosition = 0;
    BYTE visibility = 0;
    BYTE sheetType = 0;
    XlsShortString name;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  // The shared-string table. Its entries are laid out over CONTINUE records
  // so that no entry's head is split and every CONTINUE that carries on an
  // entry's characters starts with that entry's option byte.
  class SharedStringTable : public Record {
   public:
    static constexpr WORD kId = 0x00FC;
    SharedStringTable() : Record(kId, 8) {}
    DWORD DataSize() override;
    void Clear();
    DWORD totalCount = 0;
    DWORD uniqueCount = 0;
    std::vector<XlsLongString> entries;

   protected:
    void LayOut() override;
    bool ParseData() override;

   private:
    // Split positions that fall inside an entry's characters (an option
    // byte is written there), parallel to splits_.
    std::vector<bool> insideChars_;
  };

  class ExtSST : public Record {
   public:
    static constexpr WORD kId = 0x00FF;
    struct Bucket {
      DWORD streamPosition = 0;
      WORD offset = 0;
      WORD reserved = 0;
    };
    ExtSST() : Record(kId, 2) {}
    DWORD DataSize() override;
    WORD stringsPerBucket = 0;
    std::vector<Bucket> buckets;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  Workbook();

  // Bytes that Write produces.
  DWORD Size();
  DWORD Write(BYTE* destination);
  // Reads the records from a BOF of workbook globals up to and including its
  // EOF; records of other kinds are passed over. The bytes consumed, 0 when
  // the bytes hold no such record set.
  size_t Read(const BYTE* bytes, size_t size);

  BOF bof;
  Window1 window1;
  std::vector<Font> fonts;
  std::vector<XF> xfs;
  std::vector<Style> styles;
  std::vector<Format> formats;
  std::vector<BoundSheet> boundSheets;
  SharedStringTable sst;
  ExtSST extSst;
  YEOF eof;
};

}  // namespace Biff
