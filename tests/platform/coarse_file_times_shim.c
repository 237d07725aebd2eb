/* Preloaded (LD_PRELOAD) into the processes of the registry race test: the
 * settings store file (a path ending in "/registry.txt") is reported with
 * its modification time cut to whole ticks of QM_FILE_TIME_TICK seconds (10
 * when unset) and with one inode number for every version of it, as a file
 * system with coarse times whose write-aside-and-rename reuses inode
 * numbers would show it. Its stamp then repeats whenever its size does.
 * Nothing else is changed. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

static int IsStore(const char* path) {
  static const char kName[] = "/registry.txt";
  const size_t n = path ? strlen(path) : 0, k = sizeof kName - 1;
  return n >= k && strcmp(path + n - k, kName) == 0;
}

static void Coarsen(struct stat* st) {
  const char* setting = getenv("QM_FILE_TIME_TICK");
  const long tick = setting && atol(setting) > 0 ? atol(setting) : 10;
  st->st_mtim.tv_sec -= st->st_mtim.tv_sec % tick;
  st->st_mtim.tv_nsec = 0;
  st->st_ino = 1;
}

int stat(const char* path, struct stat* st) {
  static int (*real)(const char*, struct stat*);
  if (!real) real = (int (*)(const char*, struct stat*))dlsym(RTLD_NEXT, "stat");
  const int r = real(path, st);
  if (r == 0 && IsStore(path)) Coarsen(st);
  return r;
}

int stat64(const char* path, struct stat64* st) {
  static int (*real)(const char*, struct stat64*);
  if (!real) real = (int (*)(const char*, struct stat64*))dlsym(RTLD_NEXT, "stat64");
  const int r = real(path, st);
  if (r == 0 && IsStore(path)) Coarsen((struct stat*)st);
  return r;
}
