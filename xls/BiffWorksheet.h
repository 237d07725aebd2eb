// The worksheet record set of the workbook stream and its records.
#pragma once

#include <memory>
#include <variant>
#include <vector>

#include "xls/BiffRecord.h"

namespace Biff {

class Worksheet {
 public:
  class Index : public Record {
   public:
    static constexpr WORD kId = 0x020B;
    Index() : Record(kId, 0) { dbcellPositions.push_back(0); DataSize(); streamSize_ = SizeInStream(); }
    DWORD DataSize() override;
    DWORD firstUsedRow = 0;
    DWORD lastUsedRowPlus1 = 0;
    std::vector<DWORD> dbcellPositions;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  class Dimensions : public Record {
   public:
    static constexpr WORD kId = 0x0200;
    Dimensions() : Record(kId, 14) {}
    DWORD firstRow = 0;
    DWORD lastRowPlus1 = 0;
    WORD firstColumn = 0;
    WORD lastColumnPlus1 = 0;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  class CellTable {
   public:
    class RowBlock {
     public:
      class Row : public Record {
       public:
        static constexpr WORD kId = 0x0208;
        Row() : Record(kId, 16) {}
        WORD row = 0;
        WORD firstColumn = 0;
        WORD lastColumnPlus1 = 0;
        WORD height = 255;
        DWORD options = 0x0100;

       protected:
        void LayOut() override;
        bool ParseData() override;
      };

      // One cell record, its kind chosen by the record id in `tag` (-1: none).
      class CellBlock {
       public:
        // The position and format that every cell record starts with.
        class CellRecord : public Record {
         public:
          CellRecord(WORD id, DWORD fixedSize) : Record(id, fixedSize) {}
          WORD row = 0;
          WORD column = 0;
          WORD xfIndex = 0;
        };

        class Blank : public CellRecord {
         public:
          static constexpr WORD kId = 0x0201;
          Blank() : CellRecord(kId, 6) {}

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        class BoolErr : public CellRecord {
         public:
          static constexpr WORD kId = 0x0205;
          BoolErr() : CellRecord(kId, 8) {}
          BYTE value = 0;
          BYTE isError = 0;

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        class LabelSST : public CellRecord {
         public:
          static constexpr WORD kId = 0x00FD;
          LabelSST() : CellRecord(kId, 10) {}
          DWORD sstIndex = 0;

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        // Blank cells of one row; `column` is the first, one XF per cell.
        class MulBlank : public CellRecord {
         public:
          static constexpr WORD kId = 0x00BE;
          MulBlank() : CellRecord(kId, 0) {}
          DWORD DataSize() override;
          std::vector<WORD> xfIndices;
          WORD lastColumn = 0;

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        // RK numbers of one row; `column` is the first.
        class MulRK : public CellRecord {
         public:
          static constexpr WORD kId = 0x00BD;
          struct Entry {
            WORD xfIndex = 0;
            DWORD rk = 0;
          };
          MulRK() : CellRecord(kId, 0) {}
          DWORD DataSize() override;
          std::vector<Entry> entries;
          WORD lastColumn = 0;

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        class Number : public CellRecord {
         public:
          static constexpr WORD kId = 0x0203;
          Number() : CellRecord(kId, 14) {}
          double value = 0.0;

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        class RK : public CellRecord {
         public:
          static constexpr WORD kId = 0x027E;
          RK() : CellRecord(kId, 10) {}
          DWORD rk = 0;

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        // A formula cell with the record that follows it (TABLE, ARRAY or a
        // shared formula, by `followUpKind`) and its STRING result.
        class Formula : public CellRecord {
         public:
          static constexpr WORD kId = 0x0006;

          class Array : public Record {
           public:
            static constexpr WORD kId = 0x0221;
            Array() : Record(kId, 0) {}
            DWORD DataSize() override;
            WORD firstRow = 0;
            WORD lastRow = 0;
            BYTE firstColumn = 0;
            BYTE lastColumn = 0;
            WORD options = 0;
            DWORD reserved = 0;
            std::vector<BYTE> tokens;

           protected:
            void LayOut() override;
            bool ParseData() override;
          };

          class ShrFmla : public Record {
           public:
            static constexpr WORD kId = 0x00BC;
            explicit ShrFmla(WORD id = kId) : Record(id, 0) {}
            DWORD DataSize() override;
            WORD firstRow = 0;
            WORD lastRow = 0;
            BYTE firstColumn = 0;
            BYTE lastColumn = 0;
            WORD reserved = 0;
            std::vector<BYTE> tokens;

           protected:
            void LayOut() override;
            bool ParseData() override;
          };

          class ShrFmla1 : public ShrFmla {
           public:
            static constexpr WORD kId = 0x04BC;
            ShrFmla1() : ShrFmla(kId) {}
          };

          class Table : public Record {
           public:
            static constexpr WORD kId = 0x0036;
            Table() : Record(kId, 16) {}
            WORD firstRow = 0;
            WORD lastRow = 0;
            BYTE firstColumn = 0;
            BYTE lastColumn = 0;
            WORD options = 0;
            WORD inputRow = 0;
            WORD inputColumn = 0;
            WORD secondInputRow = 0;
            WORD secondInputColumn = 0;

           protected:
            void LayOut() override;
            bool ParseData() override;
          };

          class String : public Record {
           public:
            static constexpr WORD kId = 0x0207;
            String() : Record(kId, 0) {}
            DWORD DataSize() override;
            std::vector<BYTE> bytes;

           protected:
            void LayOut() override;
            bool ParseData() override;
          };

          Formula() : CellRecord(kId, 0) {}
          // Reads the FORMULA record and the follow-up and STRING records
          // right after it.
          DWORD Read(const BYTE* bytes, size_t size) override;
          DWORD Write(BYTE* destination) override;
          DWORD DataSize() override;
          DWORD RecordSize() override;

          BYTE result[8] = {};
          WORD options = 0;
          std::vector<BYTE> tokens;
          WORD followUpKind = 0;  // 0 none, else the id of the record written after it
          Table table;
          ShrFmla shrFmla;
          Array array;
          ShrFmla1 shrFmla1;
          String string;

         protected:
          void LayOut() override;
          bool ParseData() override;
        };

        CellBlock() = default;
        template <typename T>
          requires(!std::is_same_v<std::decay_t<T>, CellBlock>)
        explicit CellBlock(T&& record) : tag(static_cast<int>(std::decay_t<T>::kId)), record_(std::forward<T>(record)) {}
        explicit CellBlock(std::unique_ptr<Formula> formula);

        // The selected record; null for a block without one.
        CellRecord* Get();
        const CellRecord* Get() const;
        template <typename T>
        T* As() {
          if constexpr (std::is_same_v<T, Formula>) {
            auto* p = std::get_if<std::unique_ptr<Formula>>(&record_);
            return p ? p->get() : nullptr;
          } else {
            return std::get_if<T>(&record_);
          }
        }
        WORD Row() const;
        WORD Column() const;
        DWORD Size();
        DWORD Write(BYTE* destination);

        int tag = -1;

       private:
        std::variant<std::monostate, Blank, BoolErr, LabelSST, MulBlank, MulRK, Number, RK, std::unique_ptr<Formula>>
            record_;
      };

      class DBCell : public Record {
       public:
        static constexpr WORD kId = 0x00D7;
        DBCell() : Record(kId, 0) {}
        DWORD DataSize() override;
        DWORD firstRowOffset = 0;
        std::vector<WORD> cellOffsets;

       protected:
        void LayOut() override;
        bool ParseData() override;
      };

      std::vector<Row> rows;
      std::vector<CellBlock> cells;
      DBCell dbcell;
    };

    std::vector<RowBlock> blocks;
  };

  class Window2 : public Record {
   public:
    static constexpr WORD kId = 0x023E;
    static constexpr WORD kSelected = 0x0200;
    Window2() : Record(kId, 18) {}
    WORD options = 0x06B6;
    WORD firstVisibleRow = 0;
    WORD firstVisibleColumn = 0;
    WORD gridColorIndex = 64;
    WORD reserved = 0;
    WORD pageBreakZoom = 0;
    WORD normalZoom = 0;
    DWORD reserved2 = 0;

   protected:
    void LayOut() override;
    bool ParseData() override;
  };

  // The merged ranges, written in MERGEDCELLS records of at most 1027.
  class MergedCells {
   public:
    static constexpr WORD kId = 0x00E5;
    static constexpr size_t kPerRecord = 1027;
    class MergedCell {
     public:
      virtual ~MergedCell() = default;
      virtual DWORD Read(const BYTE* bytes);
      virtual DWORD Write(BYTE* destination) const;
      WORD firstRow = 0;
      WORD lastRow = 0;
      WORD firstColumn = 0;
      WORD lastColumn = 0;
    };
    DWORD Size() const;
    DWORD Write(BYTE* destination) const;
    // Appends the ranges of one MERGEDCELLS record; the bytes consumed, 0
    // when they hold no whole record.
    DWORD Read(const BYTE* bytes, size_t size);
    std::vector<MergedCell> ranges;
  };

  Worksheet();

  DWORD Size();
  DWORD Write(BYTE* destination);
  // Reads the records from a worksheet BOF up to and including its EOF;
  // records of other kinds are passed over, a DBCELL closes a row block. The
  // bytes consumed, 0 when the bytes hold no such record set.
  size_t Read(const BYTE* bytes, size_t size);

  BOF bof;
  Index index;
  Dimensions dimensions;
  CellTable cellTable;
  Window2 window2;
  MergedCells mergedCells;
  YEOF eof;
};

}  // namespace Biff
