// The solver's cache files: whole files read and written at once, values put and taken in the
// machine's byte order, and a checksum over everything before it at the end. A file is written
// beside its place and renamed over it, so a reader never sees half of one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace cachefile {

inline std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 30;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 27;
  h *= 0x94D049BB133111EBull;
  h ^= h >> 31;
  return h;
}

inline std::uint64_t HashBytes(const std::uint8_t* data, size_t size, std::uint64_t h = 0xCBF29CE484222325ull) {
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001B3ull;
  return h;
}

template <class T>
void Put(std::vector<std::uint8_t>& out, const T& value) {
  const size_t at = out.size();
  out.resize(at + sizeof(T));
  std::memcpy(out.data() + at, &value, sizeof(T));
}

template <class T>
bool Take(const std::vector<std::uint8_t>& in, size_t& at, T& value) {
  if (at > in.size() || in.size() - at < sizeof(T)) return false;
  std::memcpy(&value, in.data() + at, sizeof(T));
  at += sizeof(T);
  return true;
}

// The file's bytes without its checksum; false when it cannot be read, is larger than
// maxBytes, or its checksum does not match.
inline bool ReadSealed(const std::string& path, size_t maxBytes, std::vector<std::uint8_t>& in) {
  in.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::uint8_t block[65536];
  size_t got = 0;
  bool tooLarge = false;
  while (!tooLarge && (got = std::fread(block, 1, sizeof block, f)) > 0) {
    in.insert(in.end(), block, block + got);
    tooLarge = in.size() > maxBytes;
  }
  std::fclose(f);
  if (tooLarge || in.size() < 8) return false;
  std::uint64_t stored = 0;
  std::memcpy(&stored, in.data() + in.size() - 8, 8);
  if (Mix(HashBytes(in.data(), in.size() - 8)) != stored) return false;
  in.resize(in.size() - 8);
  return true;
}

// Appends the checksum and writes the file whole; false when it could not be written.
inline bool WriteSealed(const std::string& path, std::vector<std::uint8_t> out) {
  Put(out, Mix(HashBytes(out.data(), out.size())));
  std::error_code error;
  const std::filesystem::path target(path);
  std::filesystem::create_directories(target.parent_path(), error);
  const std::string temporary = path + ".tmp";
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    std::remove(temporary.c_str());
    return false;
  }
  std::filesystem::rename(temporary, target, error);
  if (error) std::remove(temporary.c_str());
  return !error;
}

}  // namespace cachefile
