// Shared by the design-file fuzz targets: a private folder for the file
// under test and the folders the readers write to, small picture limits,
// and message boxes that answer at once.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/FileUtils.h"
#include "image/ImageImpl.h"
#include "image/codec/BaseImage.h"
#include "platform/base.h"

namespace designfuzz {

inline volatile unsigned g_sink = 0;

// The folder of this process; set up once.
inline const std::string& Folder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string f = std::string(tmp && *tmp ? tmp : "/tmp") + "/qm-designfuzz-" + std::to_string(getpid());
    CreateFolderPath(f.c_str());
    SetProgramDataFolder(f.c_str());
    CreateFolderPath((f + "/Design").c_str());
    // Pictures above 1 MB are refused like oversized files.
    SetImageMemoryLimit(1u << 20);
    CBaseImage::SetMemoryLimit(1u << 20);
    SetMessageBoxHook([](const CString&, const CString&, UINT) { return IDOK; });
    // The folder goes when the process ends normally (its name is kept
    // apart from this string, which is gone by then).
    static char name[512];
    std::snprintf(name, sizeof(name), "%s", f.c_str());
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(name, ec);
    });
    return f;
  }();
  return folder;
}

// Writes the bytes to the file under test and answers its path.
inline CString WriteInput(const std::uint8_t* data, std::size_t size, const char* name = "input.qx") {
  const std::string path = Folder() + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  return CString(path.c_str());
}

}  // namespace designfuzz
