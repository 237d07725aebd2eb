// The small design records read from and written to open files.
#include <cstring>

#include "core/FileUtils.h"
#include "design/Pattern.h"

bool CIntTriple::WriteFile(HANDLE file) const {
  return WriteFileBlock(file, &a, 4) && WriteFileBlock(file, &b, 4) && WriteFileBlock(file, &c, 4);
}

bool CIntTriple::ReadFile(HANDLE file) {
  return ReadFileBlock(file, &a, 4) && ReadFileBlock(file, &b, 4) && ReadFileBlock(file, &c, 4);
}

bool CTextBlock::ReadFile(HANDLE file) {
  if (ReadFileBlock(file, fields[0], 80) && ReadFileBlock(file, fields[1], 80)) return true;
  Clear();
  return false;
}

bool CTextBlock::WriteFile(HANDLE file) const {
  return WriteFileBlock(file, fields[0], 80) && WriteFileBlock(file, fields[1], 80);
}
