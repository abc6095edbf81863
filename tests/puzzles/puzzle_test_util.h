// Helpers shared by the catalogue and cube tests: geometry in doubles, states, fakes.
#pragma once

#include <gyrix/engine.h>
#include <gyrix/puzzles.h>

#include <cordak/buffer.h>
#include <platform/services.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

using Vec3 = std::array<double, 3>;

inline Vec3 ToVec(const CFixVector& v) { return {FixToDouble(v.x), FixToDouble(v.y), FixToDouble(v.z)}; }
inline Vec3 Sub(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double Length(const Vec3& a) { return std::sqrt(Dot(a, a)); }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline Vec3 VertexOf(const CPuzzle& p, int index, int list = kModelVertices) {
  const CFixVector* v = p.GetVertex(index, list);
  return v ? ToVec(*v) : Vec3{0, 0, 0};
}

inline Vec3 CentroidOf(const CPuzzle& p, const CFacelet& f, int list = kModelVertices) {
  Vec3 c{0, 0, 0};
  for (int i = 0; i < f.GetVertexCount(); ++i) {
    const Vec3 v = VertexOf(p, f.GetVertexIndex(i), list);
    for (int k = 0; k < 3; ++k) c[k] += v[k] / f.GetVertexCount();
  }
  return c;
}

// (p1 - p0) x (pl - p0): the normal that the front-facing test looks at.
inline Vec3 NormalOf(const CPuzzle& p, const CFacelet& f, int list = kModelVertices) {
  const Vec3 p0 = VertexOf(p, f.GetVertexIndex(0), list);
  const Vec3 p1 = VertexOf(p, f.GetVertexIndex(1), list);
  const Vec3 pl = VertexOf(p, f.GetVertexIndex(f.GetVertexCount() - 1), list);
  return Cross(Sub(p1, p0), Sub(pl, p0));
}

inline double ModelRadius(const CPuzzle& p) {
  double r = 0;
  for (int i = 0; i < p.GetVertexCount(); ++i) r = std::max(r, Length(VertexOf(p, i)));
  return r;
}

inline std::vector<int> ColoursById(const CPuzzle& p) {
  std::vector<int> c;
  for (int id = 0; id < p.GetFaceletCount(); ++id) c.push_back(p.GetFaceletColour(id));
  return c;
}

// Every facelet gets a colour of its own, so that any misplaced facelet shows.
inline void ColourById(CPuzzle& p) {
  for (int id = 0; id < p.GetFaceletCount(); ++id) p.SetFaceletColour(id, id);
}

inline std::vector<unsigned char> StoredForm(CPuzzle& p) {
  CUBuffer b;
  p.Write(b);
  return std::vector<unsigned char>(b.GetData(), b.GetData() + b.GetSize());
}

// Every drag that turns moves the pressed facelet towards the released one (one animation
// step of the turn), its reverse is the inverse, and the drags reach every turn both ways.
inline void ExpectDragsFollowTheirTurns(CPuzzle& p) {
  std::set<int> reached;
  for (int a = 0; a < p.GetFaceletCount(); ++a)
    for (int b = 0; b < p.GetFaceletCount(); ++b) {
      const int m = p.MoveFromDrag(a, b);
      if (m == 0) continue;
      reached.insert(m);
      EXPECT_EQ(p.MoveFromDrag(b, a), -m) << a << " to " << b;
      CFixMatrix step;
      p.GetMoveRotation(step, m, p.GetMoveStep(m));
      const Vec3 from = CentroidOf(p, *p.GetFaceletById(a));
      const Vec3 to = CentroidOf(p, *p.GetFaceletById(b));
      const Vec3 moved = ToVec(step.Transform(FixPoint(from[0], from[1], from[2])));
      EXPECT_LT(Length(Sub(moved, to)), Length(Sub(from, to))) << a << " to " << b << " gives " << m;
    }
  EXPECT_EQ(static_cast<int>(reached.size()), 2 * p.GetMoveCount());
}

inline std::unique_ptr<CPuzzle> MakePuzzle(int typeId) { return std::unique_ptr<CPuzzle>(CreatePuzzle(typeId)); }

// Message boxes are answered and remembered for the length of one test.
class CRecordedMessages : public CDesktopServices {
 public:
  CRecordedMessages() { SetDesktopServices(this); }
  ~CRecordedMessages() override { SetDesktopServices(nullptr); }
  int MessageBox(CWnd*, const char* text, const char* caption, UINT) override {
    texts.push_back(text ? text : "");
    captions.push_back(caption ? caption : "");
    return IDOK;
  }
  int ChooseFile(CWnd*, const FileChooserRequest&, std::string&) override { return 0; }
  int OpenDocument(const char*) override { return 0; }
  std::vector<std::string> texts;
  std::vector<std::string> captions;
};
