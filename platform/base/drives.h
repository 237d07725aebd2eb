// Drives: the Win32 drive calls over the mount table. A mount point stands
// for a drive letter: GetLogicalDriveStrings lists mount points ("/",
// "/home"...), and the other calls take one of them (or any path below it,
// for the free space). A drive is fixed when it is local, writable and
// backed by a block device that is not removable, and not network, optical
// or pseudo (proc, tmpfs, overlay...) storage.
#pragma once

#include <string>
#include <vector>

#include "platform/base/wintypes.h"

union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
};
static_assert(sizeof(ULARGE_INTEGER) == 8);

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;

constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT SEM_NOOPENFILEERRORBOX = 0x8000;
// Nothing here shows critical-error dialogs; the mode is kept and returned.
UINT SetErrorMode(UINT mode);

// The mount points, each with its NUL, then one more NUL. Returns the length
// written without the last NUL; when the buffer is too small, the size
// needed (with it) and nothing written. 0 when the table cannot be read.
DWORD GetLogicalDriveStrings(DWORD bufferLength, LPSTR buffer);
// The kind of the drive whose mount point is root (a trailing '/' allowed);
// DRIVE_NO_ROOT_DIR when root is no mount point.
UINT GetDriveType(LPCSTR root);
// The room on the file system holding the folder, in bytes: for the caller,
// in all, free in all. Null outputs are skipped.
BOOL GetDiskFreeSpaceEx(LPCSTR directory, ULARGE_INTEGER* freeBytesForCaller, ULARGE_INTEGER* totalBytes,
                        ULARGE_INTEGER* totalFreeBytes);
// The volume's label (its /dev/disk/by-label name, empty when it has none),
// serial (the device number), longest name, flags (0) and file-system type.
// FALSE when root is no mount point.
BOOL GetVolumeInformation(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                          LPDWORD maxComponentLength, LPDWORD fileSystemFlags, LPSTR fileSystemName,
                          DWORD fileSystemNameSize);

// One line of the mount table, as the calls above read it (for tests).
struct QmMountEntry {
  std::string mountPoint;  // decoded (\040 is a blank)
  std::string source;      // the device or the pseudo name
  std::string fsType;
  bool readOnly = false;
  bool removable = false;  // the block device says so (/sys/class/block)
  bool blockDevice = false;
};
// The drive type of a mount entry.
UINT QmClassifyMount(const QmMountEntry& entry);
// The current mount table; tests may replace it (an empty function restores
// /proc/self/mountinfo).
std::vector<QmMountEntry> QmReadMounts();
void QmSetMountTableForTests(std::vector<QmMountEntry> (*reader)());
