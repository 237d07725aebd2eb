// The design model: defaults, copying, addressing, bead records, marks.
#include <gtest/gtest.h>

#include "core/ByteStream.h"
#include "design/Pattern.h"
#include "tests/design/design_test_util.h"

using designtest::MakeGrid;

TEST(Pattern, NewDesignHasNoBeadsAndIsNotModified) {
  CPattern p;
  EXPECT_FALSE(p.HasBeads());
  p.SetModified(true);
  EXPECT_FALSE(p.IsModified());  // modified counts only for a design with beads
  EXPECT_EQ(p.m_colorMode, kColorModeClassic);
  EXPECT_EQ(p.m_sectionVersion, 4);
  EXPECT_EQ(p.m_sacredPeyoteDivisor, 3);
  EXPECT_EQ(p.m_propertiesByte, 3);
  EXPECT_EQ(p.m_intTriple.a, 180);
  EXPECT_EQ(p.m_symbolSet.m_fontName, "Arial");
  CPattern q = MakeGrid(2, 2);
  q.SetModified(true);
  EXPECT_TRUE(q.IsModified());
}

TEST(Pattern, CopiesKeepIdentityUntilNewGuid) {
  CPattern a = MakeGrid(3, 2);
  CPattern b(a);
  EXPECT_EQ(a.m_guid, b.m_guid);
  b.NewGuid();
  EXPECT_NE(a.m_guid, b.m_guid);
  CPattern c;
  EXPECT_NE(c.m_guid, a.m_guid);
}

TEST(Pattern, AssignmentLeavesViewRectAndPdfDataButCopiesTheRest) {
  CPattern a = MakeGrid(3, 2);
  a.m_title = "Rose";
  a.m_attr.Author() = "Ann";
  a.m_markedBeads = {1, 2};
  a.m_rowFormats = {{2, 0}};
  a.m_symbolSet.m_fontName = "Symbol";
  a.m_pdfData.m_outputPath = "/a.pdf";
  a.SetViewRect(RECT{1, 2, 3, 4});
  a.m_tags.push_back(CTag());
  CPattern b;
  b.SetViewRect(RECT{5, 6, 7, 8});
  b.m_pdfData.m_outputPath = "/b.pdf";
  b = a;
  EXPECT_EQ(b.GetViewRect().left, 5);
  EXPECT_EQ(b.m_pdfData.m_outputPath, "/b.pdf");
  EXPECT_EQ(b.m_title, "Rose");
  EXPECT_EQ(b.m_attr.Author(), "Ann");
  EXPECT_EQ(b.m_markedBeads, a.m_markedBeads);
  EXPECT_EQ(b.m_rowFormats, a.m_rowFormats);
  EXPECT_EQ(b.m_symbolSet.m_fontName, "Symbol");
  EXPECT_EQ(b.m_beads, a.m_beads);
  EXPECT_EQ(b.m_guid, a.m_guid);
  EXPECT_EQ(b.m_tags.size(), 1u);
  b = b;  // self-assignment changes nothing
  EXPECT_EQ(b.m_title, "Rose");
}

TEST(Pattern, ResetDocumentInfo) {
  CPattern p = MakeGrid(2, 2);
  const GUID old = p.m_guid;
  p.m_attr.Email() = "a@b";
  p.m_textBlock.fields[0][0] = 'x';
  p.m_filePath = "/x.qx";
  p.m_pdfData.m_outputPath = "/x.pdf";
  p.ResetDocumentInfo();
  EXPECT_NE(p.m_guid, old);
  EXPECT_TRUE(p.m_attr.Email().IsEmpty());
  EXPECT_EQ(p.m_textBlock.fields[0][0], 0);
  CString path;
  EXPECT_FALSE(p.GetFilePath(path));
  EXPECT_TRUE(p.m_pdfData.m_outputPath.IsEmpty());
}

TEST(Pattern, TopDownCellsAgainstBottomUpStorage) {
  CPattern p = MakeGrid(3, 2);
  ASSERT_EQ(p.GetColumnCount(), 3u);
  ASSERT_EQ(p.GetRowCount(), 2u);
  EXPECT_EQ(p.GetBeadIndex(0, 0), 3);
  EXPECT_EQ(p.GetBeadIndex(2, 1), 2);
  int column = -1, row = -1;
  ASSERT_TRUE(p.IndexToCell(3, column, row));
  EXPECT_EQ(column, 0);
  EXPECT_EQ(row, 1);
  POINT cell;
  ASSERT_TRUE(p.IndexToCell(5, cell));
  EXPECT_EQ(cell.x, 2);
  EXPECT_EQ(cell.y, 1);
  EXPECT_FALSE(p.IndexToCell(6, column, row));
  EXPECT_FALSE(p.IndexToCell(-1, column, row));
  EXPECT_EQ(p.GetBeadAt(0, 0), &p.m_beads[3]);
  EXPECT_EQ(p.GetBeadAt(3, 0), nullptr);
  EXPECT_EQ(p.GetBeadAt(0, 2), nullptr);
  EXPECT_EQ(p.GetBeadAt(-1, 0), nullptr);
  int index = -1;
  EXPECT_TRUE(p.CellToIndex(2, 1, index));
  EXPECT_EQ(index, 5);
  EXPECT_FALSE(p.CellToIndex(3, 0, index));
  EXPECT_FALSE(p.CellToIndex(0, 2, index));
  EXPECT_TRUE(p.SplitIndex(4, column, row));
  EXPECT_EQ(column, 1);
  EXPECT_EQ(row, 1);
  EXPECT_FALSE(p.SplitIndex(6, column, row));
  // Top row beads lie higher than bottom row beads.
  EXPECT_GT(p.GetBeadAt(0, 0)->m_y, p.GetBeadAt(0, 1)->m_y);
}

TEST(Pattern, RecordAccessorsAndColors) {
  CPattern p = MakeGrid(3, 2, kFormatLoom, 7);
  CBead bead;
  ASSERT_TRUE(p.GetBead(1, 0, bead));
  EXPECT_EQ(bead.m_colorIndex, 7);
  EXPECT_FALSE(p.GetBead(1, 5, bead));
  bead.m_colorIndex = 9;
  ASSERT_TRUE(p.SetBeadRecord(1, 0, bead));
  EXPECT_EQ(p.GetBeadColor(1, 0), 9);
  EXPECT_EQ(p.GetBeadColorByIndex(p.GetBeadIndex(1, 0)), 9);
  EXPECT_EQ(p.GetBeadColorByIndex(6), -1);
  EXPECT_EQ(p.GetBeadColorByIndex(-1), -1);
  p.GetBeadAt(1, 0)->m_present = 0;
  EXPECT_EQ(p.GetBeadColor(1, 0), -1);
  EXPECT_EQ(p.GetBeadColorByIndex(p.GetBeadIndex(1, 0)), 9);
  EXPECT_FALSE(p.SetBeadRecord(-1, 0, bead));
}

TEST(Pattern, ABeadArrayShorterThanTheGridIsNeverReadPast) {
  CPattern p = MakeGrid(3, 3);
  p.m_beads.resize(4);  // as a damaged file might leave it
  EXPECT_EQ(p.GetBeadAt(0, 0), nullptr);  // storage index 6
  EXPECT_NE(p.GetBeadAt(0, 2), nullptr);
  EXPECT_EQ(p.GetBeadColor(2, 0), -1);
  int c, r;
  EXPECT_FALSE(p.IndexToCell(5, c, r));
  EXPECT_EQ(p.HitTestBead(0.5, 0.5, false, nullptr, false), -1);
  std::vector<int> n;
  p.GetNeighbours(3, true, n);
  for (int i : n) EXPECT_LT(i, 4);
}

TEST(Pattern, PathColorFlag) {
  CPattern p = MakeGrid(2, 1, kFormatLoom, 2);
  p.m_pathColor = 5;
  CBead& b = p.m_beads[0];
  b.SetPathColor();
  EXPECT_EQ(b.GetColorIndex(p), 4);
  b.SetColorIndex(7);
  EXPECT_EQ(b.GetColorIndex(p), 7);
  EXPECT_FALSE(b.IsPathColor());
  b.SetSelected(true);
  EXPECT_TRUE(b.IsSelected());
  EXPECT_EQ(b.m_flags, kBeadSelected);
  b.SetSelected(false);
  EXPECT_EQ(b.m_flags, 0);
}

TEST(Pattern, ToggleMarkedBead) {
  CPattern p;
  p.m_markedBeads = {3, 12, 5};
  EXPECT_FALSE(p.ToggleMarkedBead(12));
  EXPECT_EQ(p.m_markedBeads, (std::vector<UINT>{3, 5}));
  EXPECT_TRUE(p.ToggleMarkedBead(12));
  EXPECT_EQ(p.m_markedBeads, (std::vector<UINT>{3, 5, 12}));
  CPattern q;
  EXPECT_TRUE(q.ToggleMarkedBead(12));
  EXPECT_FALSE(q.ToggleMarkedBead(12));
  EXPECT_FALSE(q.HasMarkedBeads());
}

TEST(Pattern, BeadValidity) {
  struct Case {
    double x, y;
    int color;
    BYTE present, alternate;
    bool valid;
  } cases[] = {
      {0.0, 1.0, 0, 1, 1, true},   {0.5, 0.5, 3, 0, 0, true},  {1.0001, 0.5, 0, 1, 1, false},
      {0.5, -0.1, 0, 1, 1, false}, {0.5, 0.5, -1, 1, 1, false}, {0.5, 0.5, 0, 2, 1, false},
      {0.5, 0.5, 0, 1, 2, false},
  };
  for (const Case& c : cases) {
    CBead b(c.x, c.y);
    b.m_colorIndex = c.color;
    b.m_present = c.present;
    b.m_alternate = c.alternate;
    EXPECT_EQ(b.IsValid(), c.valid) << c.x << " " << c.y << " " << c.color;
  }
}

TEST(Pattern, TagAndSmallRecordsRead) {
  BYTE buf[32] = {};
  {
    CByteStream s(buf, sizeof(buf));
    ASSERT_TRUE(s.WriteInt(77));
    const BYTE blob[3] = {1, 2, 3};
    ASSERT_TRUE(s.WriteBlob(blob, 3));
  }
  CByteStream s(buf, 11);
  CTag tag;
  ASSERT_TRUE(tag.Read(s));
  EXPECT_EQ(tag.m_type, 77);
  EXPECT_EQ(tag.m_bytes, (std::vector<BYTE>{1, 2, 3}));
  CTag copy = tag;
  EXPECT_EQ(copy, tag);
  CByteStream shortStream(buf, 10);  // blob cut short
  CTag t2;
  EXPECT_FALSE(t2.Read(shortStream));
  CByteStream tooShort(buf, 3);
  EXPECT_FALSE(t2.Read(tooShort));

  CIntTriple triple;
  EXPECT_FALSE(triple.IsUnset());
  triple = CIntTriple{0, 0, 0};
  EXPECT_TRUE(triple.IsUnset());
  CByteStream ts(buf, 8);
  EXPECT_FALSE(triple.Read(ts));

  BYTE text[160] = {};
  text[0] = 'A';
  text[80] = 'B';
  CTextBlock block;
  CByteStream bs(text, 120);
  EXPECT_FALSE(block.Read(bs));
  EXPECT_EQ(block.fields[0][0], 'A');  // the first field was read
  CByteStream full(text, 160);
  EXPECT_TRUE(block.Read(full));
  EXPECT_EQ(block.fields[1][0], 'B');
}

TEST(Pattern, LargeArraysUsePageMemory) {
  CBeadArray big(100000);  // 3.2 MB: page memory
  EXPECT_EQ(big[99999].m_colorIndex, -1);
  big[5].m_colorIndex = 5;
  CBeadArray copy = big;
  EXPECT_EQ(copy[5].m_colorIndex, 5);
  copy.clear();
  copy.shrink_to_fit();
  CBeadArray small(10);
  EXPECT_EQ(small.size(), 10u);
  EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_FALSE(VirtualFree(small.data(), 0, MEM_RELEASE));  // not a page block
  // Blocks of 2 MB and more start on a 2 MB boundary (whole large pages),
  // zero-filled and writable to their last byte; each is freed once.
  for (size_t size : {size_t{2} << 20, (size_t{3} << 20) + 17, size_t{16} << 20}) {
    auto* p = static_cast<unsigned char*>(VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(p, nullptr) << size;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % (size_t{2} << 20), 0u) << size;
    EXPECT_EQ(p[0] + p[size - 1], 0);
    p[0] = p[size - 1] = 7;
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(p, 0, MEM_RELEASE));
  }
}
