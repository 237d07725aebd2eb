// COmitName: the option of cutting the first characters of manufacturer
// names in charts, kept in the registry value "OmitName04Aug2013" (4 bytes:
// first flag, omit count, second flag, a zero byte). The chart gives the two
// flags their meaning.
#pragma once

#include "core/ByteStream.h"

class COmitName {
 public:
  // Reads the stored option (defaults when it is missing or short); the
  // destructor stores it again.
  COmitName();
  // A record that neither reads nor writes the registry (kept inside other
  // records, which store it with their own stream).
  struct Detached {};
  explicit COmitName(Detached);
  virtual ~COmitName();
  COmitName(const COmitName& other);
  COmitName& operator=(const COmitName& other);

  void SetDefaults();
  int GetStreamSize() const { return 4; }
  bool Write(CByteStream& stream) const;
  // Fails when fewer than 4 bytes remain; a flag byte other than 0 or 1
  // reads as 0.
  bool Read(CByteStream& stream);
  bool LoadFromRegistry();
  bool SaveToRegistry() const;

  friend bool operator==(const COmitName& a, const COmitName& b) {
    return a.firstFlag == b.firstFlag && a.omitCount == b.omitCount && a.secondFlag == b.secondFlag;
  }

  BYTE firstFlag = 0;
  BYTE omitCount = 0;
  BYTE secondFlag = 0;

  static constexpr const char* kValueName = "OmitName04Aug2013";

 private:
  bool registryBacked_;
};
