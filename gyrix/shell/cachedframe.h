// A bitmap resource turned into a sprite frame once and kept for the life of the main window.
#pragma once

#include <lumex/frame.h>

class CCachedFrame : public CFrame {
 public:
  explicit CCachedFrame(int id) : m_id(id) {}
  int GetId() const { return m_id; }
  // Where the id lies inside the object, for the cache's map (it keys on a member).
  static int IdOffset();

 private:
  int m_id;
};
