// Bitmap resources of the binaries. Each binary (the program, this library) is built with a
// generated table of its numbered bitmaps and registers it at start-up under its module handle;
// CDib::Load(HINSTANCE, id) looks bitmaps up here. A null module handle means the program.
#pragma once

#include <platform/types.h>

#include <cstddef>

struct BitmapResource {
  int id;                 // the resource number
  const char* name;       // an optional name for Load(HINSTANCE, name); may be null
  const BYTE* data;       // a .bmp file or a packed DIB (header, colour table, pixels)
  std::size_t size;
};

// The module handle of this library, for its own resources.
HINSTANCE LumexInstance();

// Adds count entries of a table that lives as long as the process (entries are not copied).
// A later entry with the same module and id replaces an earlier one.
void RegisterBitmapResources(HINSTANCE module, const BitmapResource* table, std::size_t count);
// Forgets every entry of the module (for tests and unloading).
void UnregisterBitmapResources(HINSTANCE module);

// Null when the module has no such bitmap. A name "#123" means the number 123.
const BitmapResource* FindBitmapResource(HINSTANCE module, int id);
const BitmapResource* FindBitmapResource(HINSTANCE module, char const* name);

// Registers a table when a generated source file's static object is constructed.
struct BitmapResourceTable {
  BitmapResourceTable(HINSTANCE module, const BitmapResource* table, std::size_t count) {
    RegisterBitmapResources(module, table, count);
  }
};
