// The fields that both stored forms of a design read the same way: the
// sections of current files (item by item on a CDesignFileStream) and the
// design blob of older files (in memory on a CByteStream). Each reader is
// written once over either stream.
#pragma once

#include <cstring>

#include "core/ByteStream.h"
#include "design/Pattern.h"
#include "designfile/DesignFileStream.h"

namespace designfields {

inline bool ReadU32(CDesignFileStream& file, DWORD& value) { return file.ReadU32(value); }
inline bool ReadU32(CByteStream& stream, DWORD& value) { return stream.ReadInt(value); }
inline bool ReadRaw(CDesignFileStream& file, void* data, size_t size) { return file.Read(data, size); }
inline bool ReadRaw(CByteStream& stream, void* data, size_t size) {
  return stream.ReadBytes(data, static_cast<int>(size));
}
// Whether count items of itemSize bytes are left to read.
inline bool Fits(const CDesignFileStream& file, unsigned long long count, unsigned long long itemSize) {
  return file.Fits(count, itemSize);
}
inline bool Fits(const CByteStream& stream, unsigned long long count, unsigned long long itemSize) {
  return count * itemSize <= static_cast<unsigned long long>(stream.GetRemaining());
}

// The section version and the per-row formats: version, count, then
// (rows, format) pairs. The section version is set at once; the runs are
// replaced, and a count whose pairs are not in the stream fails before
// anything is reserved.
template <typename Stream>
bool ReadRowFormatRuns(Stream& stream, CPattern& design) {
  DWORD version = 0, count = 0;
  if (!ReadU32(stream, version)) return false;
  design.m_sectionVersion = static_cast<int>(version);
  if (!ReadU32(stream, count) || !Fits(stream, count, 8)) return false;
  design.m_rowFormats.clear();
  design.m_rowFormats.reserve(count);
  for (DWORD i = 0; i < count; ++i) {
    CRowFormat run;
    if (!ReadU32(stream, run.rows) || !ReadU32(stream, run.format)) return false;
    design.m_rowFormats.push_back(run);
  }
  return true;
}

// The design's identity; a stored GUID of zeros gets a new one.
template <typename Stream>
bool ReadDesignGuid(Stream& stream, CPattern& design) {
  GUID guid{};
  if (!ReadRaw(stream, &guid, sizeof(GUID))) return false;
  static const GUID kZero{};
  if (std::memcmp(&guid, &kZero, sizeof(GUID)) == 0) design.NewGuid();
  else design.m_guid = guid;
  return true;
}

// The Sacred Peyote step as stored, clamped to 2..9.
inline int ClampSacredPeyoteStep(int step) { return step < 2 ? 2 : (step > 9 ? 9 : step); }

}  // namespace designfields
