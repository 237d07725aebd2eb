// CSerializeValue<bool>: a flag kept in a registry value under the program's
// key: read when the object is made, written back when it goes.
#pragma once

#include "platform/base.h"

template <class T>
class CSerializeValue;

template <>
class CSerializeValue<bool> {
 public:
  // Binds the flag and reads it: a stored value of exactly one byte gives
  // the flag (any byte but 0 is true); anything else (missing, another
  // size) makes it true.
  CSerializeValue(const char* valueName, bool& value);
  // Writes the flag back as a one-byte binary value (the key is made when
  // missing).
  virtual ~CSerializeValue();
  CSerializeValue(const CSerializeValue&) = delete;
  CSerializeValue& operator=(const CSerializeValue&) = delete;

  // Reads the stored flag as the constructor does.
  static bool Read(const char* valueName);
  static bool Write(const char* valueName, bool value);

 private:
  CString m_name;
  bool& m_value;
};
