#include "platform/base/drives.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/base/codepage.h"
#include "platform/base/files.h"

namespace {

UINT g_errorMode = 0;
std::vector<QmMountEntry> (*g_mountReader)() = nullptr;

// Mount-table fields escape blanks, tabs, new lines and backslashes as \ooo.
std::string DecodeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::strtol(digits.c_str(), nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool ReadSysFlag(const std::string& path) {
  std::ifstream f(path);
  int value = 0;
  return f >> value && value != 0;
}

// Whether the block device (or the disk it is a partition of) is removable.
bool IsRemovableDevice(const std::string& device) {
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(device, ec);
  if (ec) return false;
  const std::string name = real.filename().string();
  const std::filesystem::path sys = std::filesystem::path("/sys/class/block") / name;
  if (ReadSysFlag((sys / "removable").string())) return true;
  // A partition: its disk is the parent folder of the device's sysfs folder.
  const std::filesystem::path dev = std::filesystem::canonical(sys, ec);
  if (ec) return false;
  return ReadSysFlag((dev.parent_path() / "removable").string());
}

std::vector<QmMountEntry> ReadMountInfo() {
  std::vector<QmMountEntry> out;
  std::ifstream f("/proc/self/mountinfo");
  std::string line;
  while (std::getline(f, line)) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::istringstream in(line);
    std::string id, parent, majmin, root, mountPoint, options, field;
    if (!(in >> id >> parent >> majmin >> root >> mountPoint >> options)) continue;
    while (in >> field && field != "-") {
    }
    std::string type, source, superOptions;
    if (!(in >> type >> source)) continue;
    in >> superOptions;
    QmMountEntry e;
    e.mountPoint = DecodeMountField(mountPoint);
    e.source = DecodeMountField(source);
    e.fsType = type;
    e.readOnly = ("," + options + ",").find(",ro,") != std::string::npos;
    struct stat st {};
    e.blockDevice = e.source.rfind("/dev/", 0) == 0 && ::stat(e.source.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
    e.removable = e.blockDevice && IsRemovableDevice(e.source);
    out.push_back(std::move(e));
  }
  return out;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// The mount point named by a root text ("/home", "/home/"); false when none.
bool FindMount(LPCSTR root, QmMountEntry& found) {
  if (!root || !*root) return false;
  std::string path = ToUtf8(CString(root));
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  bool any = false;
  // The last entry of a mount point is the one on top.
  for (const QmMountEntry& e : QmReadMounts())
    if (e.mountPoint == path) {
      found = e;
      any = true;
    }
  return any;
}

void CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0) return;
  const size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace

UINT SetErrorMode(UINT mode) {
  const UINT old = g_errorMode;
  g_errorMode = mode;
  return old;
}

std::vector<QmMountEntry> QmReadMounts() { return g_mountReader ? g_mountReader() : ReadMountInfo(); }
void QmSetMountTableForTests(std::vector<QmMountEntry> (*reader)()) { g_mountReader = reader; }

UINT QmClassifyMount(const QmMountEntry& e) {
  static const char* const kNetwork[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p", "ceph",
                                         "glusterfs", "fuse.sshfs", "sshfs", "davfs", "fuse.davfs2", "fuse.rclone"};
  for (const char* t : kNetwork)
    if (e.fsType == t) return DRIVE_REMOTE;
  if (StartsWith(e.source, "//") || (e.source.find(":/") != std::string::npos && !StartsWith(e.source, "/")))
    return DRIVE_REMOTE;
  if (e.fsType == "iso9660" || e.fsType == "udf" || StartsWith(e.source, "/dev/sr") ||
      StartsWith(e.source, "/dev/cdrom"))
    return DRIVE_CDROM;
  if (e.fsType == "tmpfs" || e.fsType == "ramfs") return DRIVE_RAMDISK;
  if (!e.blockDevice) return DRIVE_UNKNOWN;  // proc, sysfs, overlay and other pseudo storage
  if (e.removable) return DRIVE_REMOVABLE;
  if (e.readOnly) return DRIVE_UNKNOWN;
  return DRIVE_FIXED;
}

DWORD GetLogicalDriveStrings(DWORD bufferLength, LPSTR buffer) {
  std::string all;
  std::vector<std::string> seen;
  for (const QmMountEntry& e : QmReadMounts()) {
    const std::string cp = Utf8ToCodePage(e.mountPoint, GetAnsiCodePage());
    bool dup = false;
    for (const std::string& s : seen) dup = dup || s == cp;
    if (dup) continue;
    seen.push_back(cp);
    all += cp;
    all += '\0';
  }
  if (all.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  const DWORD needed = static_cast<DWORD>(all.size() + 1);
  if (!buffer || bufferLength < needed) return needed;
  std::memcpy(buffer, all.data(), all.size());
  buffer[all.size()] = '\0';
  return static_cast<DWORD>(all.size());
}

UINT GetDriveType(LPCSTR root) {
  QmMountEntry e;
  if (!FindMount(root, e)) return DRIVE_NO_ROOT_DIR;
  return QmClassifyMount(e);
}

BOOL GetDiskFreeSpaceEx(LPCSTR directory, ULARGE_INTEGER* freeBytesForCaller, ULARGE_INTEGER* totalBytes,
                        ULARGE_INTEGER* totalFreeBytes) {
  if (!directory || !*directory) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct statvfs st {};
  if (::statvfs(ToUtf8(CString(directory)).c_str(), &st) != 0) {
    SetLastError(ErrnoToWin32Error(errno));
    return FALSE;
  }
  const ULONGLONG unit = st.f_frsize ? st.f_frsize : st.f_bsize;
  if (freeBytesForCaller) freeBytesForCaller->QuadPart = unit * st.f_bavail;
  if (totalBytes) totalBytes->QuadPart = unit * st.f_blocks;
  if (totalFreeBytes) totalFreeBytes->QuadPart = unit * st.f_bfree;
  return TRUE;
}

BOOL GetVolumeInformation(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                          LPDWORD maxComponentLength, LPDWORD fileSystemFlags, LPSTR fileSystemName,
                          DWORD fileSystemNameSize) {
  QmMountEntry e;
  if (!FindMount(root, e)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  std::string label;
  if (e.blockDevice) {
    std::error_code ec;
    const std::filesystem::path device = std::filesystem::canonical(e.source, ec);
    for (auto it = std::filesystem::directory_iterator("/dev/disk/by-label", ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
      std::error_code ec2;
      if (std::filesystem::canonical(it->path(), ec2) == device && !ec2) {
        label = DecodeMountField(it->path().filename().string());
        // udev escapes blanks as \x20.
        for (size_t p; (p = label.find("\\x20")) != std::string::npos;) label.replace(p, 4, " ");
        break;
      }
    }
  }
  CopyOut(Utf8ToCodePage(label, GetAnsiCodePage()), volumeName, volumeNameSize);
  CopyOut(e.fsType, fileSystemName, fileSystemNameSize);
  struct stat st {};
  struct statvfs vfs {};
  const std::string mp = e.mountPoint;
  if (serialNumber) *serialNumber = ::stat(mp.c_str(), &st) == 0 ? static_cast<DWORD>(st.st_dev) : 0;
  if (maxComponentLength)
    *maxComponentLength = ::statvfs(mp.c_str(), &vfs) == 0 ? static_cast<DWORD>(vfs.f_namemax) : 255;
  if (fileSystemFlags) *fileSystemFlags = 0;
  return TRUE;
}
