#include <lumex/resources.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

namespace {

// Keyed by module and id. Built on first use, so tables registered by static objects of other
// binaries work whatever order the loader constructs them in.
using Registry = std::map<std::pair<HINSTANCE, int>, const BitmapResource*>;

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

// "#123" is the resource number 123, as a name made from a number.
bool NumberFromName(char const* name, int& id) {
  if (name[0] != '#' || name[1] == '\0') return false;
  char* end = nullptr;
  long value = std::strtol(name + 1, &end, 10);
  if (*end != '\0' || value < 0 || value > 0xFFFF) return false;
  id = static_cast<int>(value);
  return true;
}

const char g_lumexModuleTag = 0;

}  // namespace

HINSTANCE LumexInstance() { return reinterpret_cast<HINSTANCE>(&g_lumexModuleTag); }

void RegisterBitmapResources(HINSTANCE module, const BitmapResource* table, std::size_t count) {
  if (!table) return;
  for (std::size_t i = 0; i < count; ++i) TheRegistry()[{module, table[i].id}] = &table[i];
}

void UnregisterBitmapResources(HINSTANCE module) {
  Registry& registry = TheRegistry();
  for (auto it = registry.begin(); it != registry.end();)
    it = it->first.first == module ? registry.erase(it) : std::next(it);
}

const BitmapResource* FindBitmapResource(HINSTANCE module, int id) {
  auto it = TheRegistry().find({module, id});
  return it == TheRegistry().end() ? nullptr : it->second;
}

const BitmapResource* FindBitmapResource(HINSTANCE module, char const* name) {
  if (!name) return nullptr;
  int id = 0;
  if (NumberFromName(name, id)) return FindBitmapResource(module, id);
  for (const auto& [key, resource] : TheRegistry())
    if (key.first == module && resource->name && std::strcmp(resource->name, name) == 0)
      return resource;
  return nullptr;
}
