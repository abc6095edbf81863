#include <lumex/utils.h>

#include <platform/eventloop.h>

#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

// Index just past the last '/', or 0 when there is none.
int FolderLength(char const* path) {
  char const* slash = std::strrchr(path, '/');
  return slash ? static_cast<int>(slash - path) + 1 : 0;
}

}  // namespace

CUString GetModulePath() {
  char path[PATH_MAX + 1] = {};
  ssize_t n = ::readlink("/proc/self/exe", path, PATH_MAX);
  if (n <= 0) return CUString("./");
  path[n] = '\0';
  return GetPath(path);
}

CUString GetPath(char const* fullPath) {
  CUString folder;
  if (fullPath) folder.Assign(fullPath, FolderLength(fullPath));
  return folder;
}

CUString GetFileName(char const* fullPath) {
  CUString name;
  if (!fullPath) return name;
  char const* start = fullPath + FolderLength(fullPath);
  char const* dot = std::strrchr(start, '.');
  // A leading dot names a hidden file rather than starting an extension.
  int length = dot && dot != start ? static_cast<int>(dot - start) : static_cast<int>(std::strlen(start));
  name.Assign(start, length);
  return name;
}

CRect SetupRect(CPoint p, int w, int h) { return CRect(p.x, p.y, p.x + w, p.y + h); }

int IsPressed(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) ? 1 : 0; }

void ProcessMessages() { CEventLoop::ProcessPending(); }
