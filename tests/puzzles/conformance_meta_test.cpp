// The conformance checks catch what they are there for: each check, run on a cube broken in
// one way, reports the fault.
#include "conformance.h"

#include "puzzle_test_util.h"

#include <platform/eventloop.h>
#include <platform/wnd.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const CTypeExpectation& CubeRow(int n) { return *FindExpectation(n - 2); }

// A live window for the animation, on the headless desktop.
struct CheckWindow : ::testing::Test {
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    ASSERT_TRUE(CEventLoop::Init());
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "checks", WS_POPUP, CRect(0, 0, 120, 120), nullptr, 0));
  }
  void TearDown() override {
    wnd.DestroyWindow();
    CEventLoop::ProcessPending();
  }
  CWnd wnd;
};

// Animates its turns the wrong way round.
class CBackwardsCube : public CCubePuzzle {
 public:
  CBackwardsCube() : CCubePuzzle(2) {}
  void GetMoveRotation(CFixMatrix& m, int move, int angle) override { CCubePuzzle::GetMoveRotation(m, move, -angle); }
};

// The centre of the top face stays behind when the top layer turns.
class CForgetfulCube : public CCubePuzzle {
 public:
  CForgetfulCube() : CCubePuzzle(3) { SetMoveMask(0, GetMoveMask(0) & ~1u); }
};

// One facelet listed the wrong way round, facing inwards.
class CInsideOutCube : public CCubePuzzle {
 public:
  CInsideOutCube() : CCubePuzzle(2) {
    CFacelet* f = GetFaceletById(5);
    const int a = f->GetVertexIndex(1);
    f->SetVertexIndex(1, f->GetVertexIndex(3));
    f->SetVertexIndex(3, a);
  }
};

// One corner of a facelet pulled off its face.
class CBentCube : public CCubePuzzle {
 public:
  CBentCube() : CCubePuzzle(2) { GetFaceletById(0)->SetVertexIndex(2, 25); }
};

// Paints no cut face while a layer turns.
class CHollowCube : public CCubePuzzle {
 public:
  CHollowCube() : CCubePuzzle(3) {}
  void SortFacelets() override {
    CCubePuzzle::SortFacelets();
    if (m_currentMove != 0) GetMove(TurnIndex(m_currentMove))->DeleteInserts();
  }
};

// Paints the turning layer and the rest in the wrong order.
class CMisorderedCube : public CCubePuzzle {
 public:
  CMisorderedCube() : CCubePuzzle(3) {}
  void SortFacelets() override { CPuzzle::SortFacelets(); }
  BOOL IsMovingPartNearer(int k, CUObArray& moving, CUObArray& fixed) override {
    return !CPuzzle::IsMovingPartNearer(k, moving, fixed);
  }
};

// Drags that turn one way only, or give turns the puzzle does not have.
class COneWayCube : public CCubePuzzle {
 public:
  COneWayCube() : CCubePuzzle(2) {}
  int MoveFromDrag(int from, int to) override { return std::abs(CCubePuzzle::MoveFromDrag(from, to)); }
};

class CFarDragCube : public CCubePuzzle {
 public:
  explicit CFarDragCube(int replacement) : CCubePuzzle(2), m_replacement(replacement) {}
  int MoveFromDrag(int from, int to) override {
    const int m = CCubePuzzle::MoveFromDrag(from, to);
    return m == 1 ? m_replacement : m == -1 ? -m_replacement : m;
  }

 private:
  int m_replacement;
};

// Always solved.
class CSmugCube : public CCubePuzzle {
 public:
  CSmugCube() : CCubePuzzle(2) {}
  void UpdateSolved() override { m_solved = 1; }
};

// A box whose top half turns about its vertical axis by 30 degrees, moving its corners as
// geometry-cutting puzzles do; without snapping, fixed-point rotation leaves them off the
// solid's corners.
class CDriftingBox : public CPuzzle {
 public:
  explicit CDriftingBox(bool snap) : CPuzzle(2), m_snap(snap) {
    m_typeId = 28;
    for (int i = 0; i < 12; ++i) {
      const double a = i * 3.14159265358979 / 6;
      AddVertex(static_cast<float>(2 * std::cos(a)), static_cast<float>(2 * std::sin(a)), 1.0f);
    }
    int ring[12];
    for (int i = 0; i < 12; ++i) ring[i] = i;
    AddFacelet(ring, 12);
    const int centre[3] = {AddVertex(0, 0, -1), 0, 1};
    AddFacelet(centre, 3);
    m_corners = GetVertexCount();
    AddMove(nullptr, -1);
  }
  int GetMoveStep(int) override { return 15; }
  int GetMoveFrames(int) override { return 2; }
  void GetMoveRotation(CFixMatrix& m, int move, int angle) override { m.RotateZ(move < 0 ? -angle : angle); }
  void DoMove(int move, BOOL) override {
    CFixMatrix turn;
    GetMoveRotation(turn, move, 30);
    for (int i = 0; i < 12; ++i) {
      CFixVector* v = GetVertex(i, kModelVertices);
      *v = turn.Transform(*v);
      if (!m_snap) continue;
      for (int s = 0; s < m_corners; ++s) {
        const CFixVector& c = m_places[s];
        if (std::abs(v->x - c.x) <= kFixHalf && std::abs(v->y - c.y) <= kFixHalf && std::abs(v->z - c.z) <= kFixHalf) *v = c;
      }
    }
  }
  void Remember() {
    for (int i = 0; i < m_corners; ++i) m_places.push_back(*GetVertex(i, kModelVertices));
  }

 private:
  bool m_snap;
  int m_corners = 0;
  std::vector<CFixVector> m_places;
};

// Turns its cut layers the other way round from what the animation shows.
class CBackwardsBiCube : public CBiCubePuzzle {
 public:
  void DoMove(int move, BOOL notify) override { CBiCubePuzzle::DoMove(-move, notify); }
};

// Refuses blocked turns only after making them.
class CLeakyBiCube : public CBiCubePuzzle {
 public:
  BOOL StartMove(CWnd* wnd, int move) override {
    if (CanMove(move)) return CBiCubePuzzle::StartMove(wnd, move);
    MarkMovingFacelets(std::abs(move) - 1);
    DoMove(move, 0);
    return 0;
  }
};

TEST(ConformanceChecks, CatchWrongPlaneCutTurns) {
  CBackwardsBiCube backwards;
  EXPECT_NE(CheckTurnsAreRotations(backwards).Text().find("where its rotation shows it"), std::string::npos);
  CLeakyBiCube leaky;
  EXPECT_NE(CheckTurnsUndo(leaky).Text().find("refusing turn 2 changes the puzzle"), std::string::npos);
}

TEST(ConformanceChecks, CatchWrongTurns) {
  CBackwardsCube backwards;
  EXPECT_FALSE(CheckTurnsAreRotations(backwards).Empty());
  CSmugCube smug;
  EXPECT_FALSE(CheckSolvedTest(smug, CubeRow(2)).Empty());
}

TEST(ConformanceChecks, CatchBadShapes) {
  CInsideOutCube insideOut;
  const CFindings inwards = CheckShape(insideOut, CSurfaceKind::kClosed);
  EXPECT_NE(inwards.Text().find("facelet 5 faces inwards"), std::string::npos) << inwards.Text();
  CBentCube bent;
  const CFindings broken = CheckShape(bent, CSurfaceKind::kClosed);
  EXPECT_NE(broken.Text().find("not flat"), std::string::npos) << broken.Text();
  EXPECT_NE(broken.Text().find("not closed"), std::string::npos) << broken.Text();
}

TEST(ConformanceChecks, CatchBadDrags) {
  COneWayCube oneWay;
  EXPECT_NE(CheckDrags(oneWay, CubeRow(2)).Text().find("the drag back"), std::string::npos);
  CFarDragCube far(200);
  EXPECT_NE(CheckDrags(far, CubeRow(2)).Text().find("gives turn 200"), std::string::npos);
  CFarDragCube none(0);
  const CFindings found = CheckDrags(none, CubeRow(2));
  EXPECT_EQ(found.total, 1) << found.Text();
  EXPECT_NE(found.Text().find("no drag makes turn 1"), std::string::npos) << found.Text();
}

TEST(ConformanceChecks, CatchVerticesThatDriftOffTheCorners) {
  CDriftingBox drifting(false);
  drifting.Remember();
  EXPECT_FALSE(CheckVerticesStayOnTheirPlaces(drifting).Empty());
  CDriftingBox snapping(true);
  snapping.Remember();
  EXPECT_TRUE(CheckVerticesStayOnTheirPlaces(snapping).Empty()) << CheckVerticesStayOnTheirPlaces(snapping).Text();
}

TEST_F(CheckWindow, AnimationCatchesAFaceletLeftBehind) {
  CForgetfulCube forgetful;
  const CFindings found = CheckAnimation(forgetful, &wnd, CSurfaceKind::kClosed, 120);
  EXPECT_NE(found.Text().find("facelet 0 lies in the turning part"), std::string::npos) << found.Text();
  EXPECT_NE(found.Text().find("pixels show a face behind"), std::string::npos) << found.Text();
}

TEST_F(CheckWindow, AnimationCatchesAnOpenCut) {
  CHollowCube hollow;
  const CFindings found = CheckAnimation(hollow, &wnd, CSurfaceKind::kClosed, 120);
  EXPECT_NE(found.Text().find("pixels show a face behind"), std::string::npos) << found.Text();
}

TEST_F(CheckWindow, AnimationCatchesAWrongPaintingOrder) {
  CMisorderedCube misordered;
  const CFindings found = CheckAnimation(misordered, &wnd, CSurfaceKind::kClosed, 120);
  EXPECT_NE(found.Text().find("pixels show a face behind"), std::string::npos) << found.Text();
}

TEST_F(CheckWindow, AnimationCatchesAFaceletFacingInwards) {
  CInsideOutCube insideOut;
  EXPECT_FALSE(CheckAnimation(insideOut, &wnd, CSurfaceKind::kClosed, 120).Empty());
}

}  // namespace
