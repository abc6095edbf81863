#include "shell_test_util.h"

#include <lumex/bmpfile.h>
#include <lumex/resources.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

// Stand-in colours: index 0 cyan (transparent in frames), 1 red (the clock's ink), 2 grey,
// 3 parchment.
const RGBQUAD kColours[] = {{255, 255, 0, 0}, {0, 0, 255, 0}, {128, 128, 128, 0}, {170, 220, 240, 0}};

std::vector<BYTE> MakeBmp(int w, int h, BYTE fill, BYTE border) {
  const int stride = BmpRowBytes(w, 8);
  std::vector<BYTE> bits(static_cast<std::size_t>(stride) * h, fill);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (x == 0 || y == 0 || x == w - 1 || y == h - 1) bits[static_cast<std::size_t>(y) * stride + x] = border;
  std::vector<BYTE> out;
  AppendBmpFile(out, w, h, 8, kColours, 4, bits.data());
  return out;
}

}  // namespace

void RegisterStandInBitmaps() {
  static bool done = false;
  if (done) return;
  done = true;
  static std::vector<std::vector<BYTE>> images;
  static std::vector<BitmapResource> table;
  auto add = [](int id, std::vector<BYTE> bmp) {
    images.push_back(std::move(bmp));
    table.push_back({id, nullptr, nullptr, 0});
  };
  for (int id = 135; id <= 203; ++id) {
    if (id == IDB_PANEL || (id >= IDB_DIGIT0 && id <= IDB_COLON)) continue;
    if (id == 159 || id == 162 || id == 164) continue;  // the options dialog's own pictures
    // Buttons are 64 pixels square; the Challenge banner has its own shape.
    add(id, id == IDB_CHALLENGE ? MakeBmp(79, 33, 2, 0) : MakeBmp(64, 64, 2, 0));
  }
  for (int d = 0; d < 10; ++d) add(IDB_DIGIT0 + d, MakeBmp(25, 32, 1, 0));
  add(IDB_COLON, MakeBmp(10, 32, 1, 0));
  add(IDB_PANEL, MakeBmp(337, 355, 3, 0));
  add(IDB_ICON, MakeBmp(32, 32, 2, 1));
  for (std::size_t i = 0; i < table.size(); ++i) {
    table[i].data = images[i].data();
    table[i].size = images[i].size();
  }
  RegisterBitmapResources(nullptr, table.data(), table.size());
}

void WriteTileBitmap(const std::string& path, COLORREF colour, int size) {
  RGBQUAD colours[2] = {{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0}, {0, 0, 255, 0}};
  const int stride = BmpRowBytes(size, 8);
  std::vector<BYTE> bits(static_cast<std::size_t>(stride) * size, 0);
  for (int y = size / 4; y < size * 3 / 4; ++y)
    for (int x = size / 4; x < size * 3 / 4; ++x) bits[static_cast<std::size_t>(y) * stride + x] = 1;
  std::vector<BYTE> out;
  AppendBmpFile(out, size, size, 8, colours, 2, bits.data());
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(out.data()),
                                              static_cast<std::streamsize>(out.size()));
}

void ShellTest::SetUp() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ASSERT_TRUE(CEventLoop::Init());
  CEventLoop::SetClock([this] { return m_now; });
  RegisterStandInBitmaps();
  char name[] = "/tmp/gyrix-shell-XXXXXX";
  ASSERT_NE(mkdtemp(name), nullptr);
  m_folder = name;
  m_settings = (m_folder / "Gyrix.ini").string();
  // The help pages the game writes for the player go under the test's folder.
  setenv("XDG_CACHE_HOME", (m_folder / "cache").c_str(), 1);
  CPuzzleDlg::SetSettingsPathOverride(m_settings);
}

void ShellTest::TearDown() {
  CEventLoop::SetModalHook(nullptr);
  CloseWindow();
  CPuzzleDlg::SetSettingsPathOverride("");
  unsetenv("XDG_CACHE_HOME");
  CEventLoop::SetClock(nullptr);
  CEventLoop::ClearQuit();
  std::error_code ignored;
  std::filesystem::remove_all(m_folder, ignored);
}

void ShellTest::OpenWindow(int width, int height) {
  CloseWindow();
  m_dlg = new CPuzzleDlg(nullptr);
  ASSERT_TRUE(m_dlg->CreateModeless(nullptr));
  m_dlg->MoveWindow(0, 0, width, height);
  CRect client;
  m_dlg->GetClientRect(&client);
  // The frame takes its share: make the client area the size asked for.
  m_dlg->MoveWindow(0, 0, width + (width - client.Width()), height + (height - client.Height()));
  CEventLoop::Activate(m_dlg);
  CEventLoop::ProcessPending();
}

void ShellTest::CloseWindow() {
  if (!m_dlg) return;
  if (m_dlg->GetSafeHwnd()) m_dlg->DestroyWindow();
  delete m_dlg;
  m_dlg = nullptr;
  CEventLoop::ProcessPending();
}

void ShellTest::AdvanceClock(std::uint64_t ms) {
  for (std::uint64_t t = 0; t < ms; t += 10) {
    m_now += 10;
    CEventLoop::ProcessPending();
  }
}

void ShellTest::Settle() {
  for (int i = 0; i < 2000 && m_dlg->GetPuzzle()->IsBusy(); ++i) AdvanceClock(20);
  CEventLoop::ProcessPending();
}

void ShellTest::Compose(CDib& out) {
  CRect client;
  m_dlg->GetClientRect(&client);
  ASSERT_TRUE(out.Create(&CDibWnd::cm_palette, client.Width(), client.Height(), 0));
  CDC* dc = out.GetMemDC(nullptr);
  dc->FillSolidRect(&client, m_dlg->GetBackgroundColor());  // as the window's own drawing does
  m_dlg->ComposeScreen(dc, &out);
  out.ReleaseMemDC(dc);
}

CPoint ShellTest::FaceletCentre(int id) {
  CPuzzle* p = m_dlg->GetPuzzle();
  CFacelet* f = p->GetFaceletById(id);
  if (!f || !f->Project(kViewVertices)) return CPoint(-1, -1);
  const POINT* pts = f->GetPoints();
  long x = 0, y = 0;
  int n = f->GetVertexCount();
  for (int i = 0; i < n; ++i) {
    x += pts[i].x;
    y += pts[i].y;
  }
  CPoint c(static_cast<int>(x / n), static_cast<int>(y / n));
  return p->GetFaceletAt(c) == id ? c : CPoint(-1, -1);
}

bool ShellTest::DragFacelets(int from, int to) {
  CPoint a = FaceletCentre(from), b = FaceletCentre(to);
  if (a.x < 0 || b.x < 0) return false;
  CEventLoop::InjectMouseMove(m_dlg, a);
  CEventLoop::InjectMouseButton(m_dlg, a, VK_LBUTTON, true);
  CEventLoop::InjectMouseMove(m_dlg, b);
  CEventLoop::InjectMouseButton(m_dlg, b, VK_LBUTTON, false);
  return true;
}

bool ShellTest::DragTurn(int turn) {
  m_dlg->UpdateWindow();  // hit tests use the view as last painted
  CPuzzle* p = m_dlg->GetPuzzle();
  const int n = p->GetMoveMaskLength();
  for (int from = 0; from < n; ++from) {
    if (FaceletCentre(from).x < 0) continue;
    for (int to = 0; to < n; ++to)
      if (p->MoveFromDrag(from, to) == turn && FaceletCentre(to).x >= 0) return DragFacelets(from, to);
  }
  return false;
}

void ShellTest::ClickAt(CPoint p, int button) {
  CEventLoop::InjectMouseMove(m_dlg, p);
  CEventLoop::InjectClick(m_dlg, p, button);
}

CMenuButton* ShellTest::VisibleButton(int id) const {
  if (CMenuButton* open = CMenuButton::GetOpenMenu()) {
    for (CUNode* n = open->GetChildren().GetHeadNode(); n; n = n->GetNext()) {
      auto* b = static_cast<CMenuButton*>(n->GetObject());
      if (b->GetId() == id) return b;
    }
    for (int i = 0; i < m_dlg->GetTopLevelButtonCount(); ++i) {
      CMenuButton* b = m_dlg->GetTopLevelButton(i);
      if (b->GetId() == id && !b->HasChildren()) return b;
    }
    return nullptr;
  }
  for (int i = 0; i < m_dlg->GetTopLevelButtonCount(); ++i)
    if (m_dlg->GetTopLevelButton(i)->GetId() == id) return m_dlg->GetTopLevelButton(i);
  return nullptr;
}

std::string ShellTest::ReadSettings() const {
  std::ifstream in(m_settings);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void ShellTest::WriteSettings(const std::string& text) const { std::ofstream(m_settings) << text; }
