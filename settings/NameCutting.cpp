#include "settings/NameCutting.h"

#include "core/ByteStream.h"

bool CNameCutting::Write(CByteStream& s) const {
  return s.GetRemaining() >= 4 && s.WriteByte(firstFlag) && s.WriteByte(omitCount) && s.WriteByte(secondFlag) &&
         s.WriteByte(0);
}

bool CNameCutting::Read(CByteStream& s) {
  if (s.GetRemaining() < 4) return false;
  BYTE first = 0, count = 0, second = 0;
  s.ReadByte(first);
  s.ReadByte(count);
  s.ReadByte(second);
  s.Skip(1);
  firstFlag = first <= 1 ? first : 0;
  omitCount = count;
  secondFlag = second <= 1 ? second : 0;
  return true;
}
