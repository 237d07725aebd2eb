// COmitName: the name-cutting option (CNameCutting, settings/NameCutting.h)
// as the user's setting, kept in the registry value "OmitName04Aug2013"
// (its 4 stored bytes).
#pragma once

#include "core/ByteStream.h"
#include "settings/NameCutting.h"

class COmitName : public CNameCutting {
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

  bool LoadFromRegistry();
  bool SaveToRegistry() const;

  static constexpr const char* kValueName = "OmitName04Aug2013";

 private:
  bool registryBacked_;
};
