// The logical screen of a GIF file: its images drawn one after another, as
// a viewer shows them. Both GIF readers (the codec layer's and the picture
// classes' own) decode each image's indices and hand them here, so the two
// compose a file the same way.
//
// The screen starts in the background colour (the global table's entry at
// the screen's background index; without a global table the first image's
// entry 0), or transparent when the first image has a transparent index. An
// image's transparent pixels leave what is under them; its disposal says
// what its area becomes before the next image (2: the starting fill, 3:
// what was there before it). The screen is at least as large as the first
// image; later images are clipped to it.
//
// While every image uses the same colour table and transparent index the
// screen keeps indices into that table; an image with another table or
// transparent index turns it into red, green and blue.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base.h"

namespace codec {

// One image of a file, as decoded.
struct GifImage {
  long left = 0, top = 0, width = 0, height = 0;
  const BYTE* pixels = nullptr;  // the top row's indices
  long stride = 0;               // bytes from a row to the next one down (may be negative)
  const BYTE* table = nullptr;   // red, green, blue triples; null: no table
  int tableSize = 0;
  long transparent = -1;         // -1: none
  int disposal = 0;
};

class CGifScreen {
 public:
  // globalTable: red, green, blue triples (null without one). maxBytes: the
  // most the screen's pixels may take.
  CGifScreen(long width, long height, const BYTE* globalTable, int globalSize, int background, std::uint64_t maxBytes);

  // False when the screen does not fit maxBytes (nothing is drawn then).
  bool Add(const GifImage& image);

  bool IsEmpty() const { return m_images == 0; }
  long GetWidth() const { return m_width; }
  long GetHeight() const { return m_height; }
  bool IsIndexed() const { return m_indexed; }
  // Indexed screens: the table (red, green, blue triples) and its size.
  const BYTE* GetTable() const { return m_table.data(); }
  int GetTableSize() const { return static_cast<int>(m_table.size() / 3); }
  // The transparent index of an indexed screen, -1 when none; on a colour
  // screen 0 when transparent parts have the colour GetTransparentColour.
  long GetTransparentIndex() const { return m_indexed || m_transparent < 0 ? m_transparent : 0; }
  const BYTE* GetTransparentColour() const { return m_transColour; }
  // Row y from the top: an index a pixel, or red, green, blue.
  const BYTE* GetRow(long y) const;

 private:
  bool Start(const GifImage& first);
  bool ToColour();
  void Fill(long left, long top, long width, long height);
  BYTE* Pixel(std::vector<BYTE>& area, long areaWidth, long x, long y);
  void ColourOf(const BYTE* table, int size, int index, BYTE* out) const;

  long m_width, m_height;
  std::vector<BYTE> m_global;
  int m_background;
  std::uint64_t m_maxBytes;
  long m_images = 0;
  bool m_indexed = true;
  std::vector<BYTE> m_table;  // the shared table of an indexed screen
  long m_transparent = -1;    // the first image's transparent index
  BYTE m_fillIndex = 0;
  BYTE m_fillColour[3] = {0, 0, 0};
  BYTE m_transColour[3] = {0, 0, 0};
  std::vector<BYTE> m_pixels;
  // The previous image's area and disposal, and what was under it.
  long m_prevLeft = 0, m_prevTop = 0, m_prevWidth = 0, m_prevHeight = 0;
  int m_prevDisposal = 0;
  std::vector<BYTE> m_saved;
};

}  // namespace codec
