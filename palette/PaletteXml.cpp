#include "palette/PaletteXml.h"

#include <cstdio>

#include "core/FileUtils.h"
#include "palette/ColorSet.h"

std::string XmlAttributeValue(const CString& text) {
  const std::string utf8 = ToUtf8(text);
  std::string out;
  out.reserve(utf8.size());
  for (const char ch : utf8) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      default:
        // XML 1.0 has no place for the other control characters.
        if (static_cast<unsigned char>(ch) >= 0x20 && ch != 0x7F) out += ch;
        break;
    }
  }
  return out;
}

namespace {

void AppendText(std::string& out, const char* name, const CString& value) {
  out += ' ';
  out += name;
  out += "=\"";
  out += XmlAttributeValue(value);
  out += '"';
}

void AppendUnsigned(std::string& out, const char* name, unsigned value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, " %s=\"%u\"", name, value);
  out += buffer;
}

}  // namespace

std::string CPaletteColor::ToXmlElement(bool writeCount) const {
  std::string out = "<Color";
  AppendText(out, "mfg", mfgName);
  AppendText(out, "nick", nickname);
  AppendUnsigned(out, "index", static_cast<unsigned>(number));
  if (writeCount) AppendUnsigned(out, "count", count);
  char rgb[32];
  std::snprintf(rgb, sizeof rgb, "%u,%u,%u", GetRgb().red, GetRgb().green, GetRgb().blue);
  AppendText(out, "rgb", rgb);
  AppendText(out, "ColorType", colorType);
  AppendText(out, "TypeColor", typeColor);
  AppendText(out, "Durability", durability);
  AppendText(out, "SafeColor", safeColor);
  AppendText(out, "MiscInfo", miscInfo);
  AppendUnsigned(out, "BeadsTube", beadsPerTube);
  AppendUnsigned(out, "TubePriceCent", tubePrice);
  char grams[96];
  std::snprintf(grams, sizeof grams, " GramsBead=\"%.5f\"", static_cast<double>(this->grams));
  out += grams;
  out += "/>";
  return out;
}

void CColorSet::BuildXmlText(std::string& out, const CPaletteXmlInfo& info) const {
  out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  char count[64];
  std::snprintf(count, sizeof count, "<Palette numColors=\"%d\"", GetCount());
  out += count;
  AppendText(out, "software", info.software);
  AppendText(out, "VersionID", info.versionId);
  AppendText(out, "weblink", info.webLink);
  out += "><Colors>";
  for (const CPaletteColor& colour : colors_) out += colour.ToXmlElement(info.writeCount);
  out += "</Colors></Palette>";
}

bool CColorSet::ExportXml(const CString& path, const CPaletteXmlInfo& info) const {
  if (FileExists(path)) RemoveFile(path);
  HANDLE file = CreateFile(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text;
  BuildXmlText(text, info);
  const bool written = text.size() <= 0xFFFFFFFFu && WriteFileBlock(file, text.data(), static_cast<DWORD>(text.size()));
  const bool closed = CloseHandle(file) != FALSE;
  return written && closed;
}
