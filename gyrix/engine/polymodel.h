// The 3-D polygon model under every puzzle: vertices in 16.16 fixed point, flat coloured
// facelets that refer to them by index, a palette, and the view transform that projects the
// model orthographically into a window.
#pragma once

#include <gyrix/engine/fixed.h>

#include <cordak/obarray.h>
#include <lumex/coverage.h>
#include <platform/types.h>

#include <vector>

class CUBuffer;
class CPolyModel;
class CDC;
class CDib;

// The three vertex lists of a model.
enum VertexList { kModelVertices = 0, kViewVertices = 1, kFrameVertices = 2 };

class CFacelet : public CUObject {
 public:
  CFacelet(CPolyModel* owner, int id, const int* indices, int count, int colour);
  explicit CFacelet(CPolyModel* owner);  // empty, to be filled by Read

  // Painting order: by depth, the middle of the bounding box along z (larger is nearer).
  int operator>(const CUObject& other) override;
  int operator<(const CUObject& other) override;
  // id, vertex indices and colour: count, indices, colour, id.
  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;

  CPolyModel* GetOwner() const { return m_owner; }
  void SetOwner(CPolyModel* owner) { m_owner = owner; }
  int GetId() const { return m_id; }
  int GetVertexCount() const { return static_cast<int>(m_vertices.size()); }
  // Index into the owner's vertex lists; -1 outside 0..count-1.
  int GetVertexIndex(int i) const;
  void SetVertexIndex(int i, int vertex);
  const int* GetVertexIndices() const { return m_vertices.data(); }
  int GetColour() const { return m_colour; }
  void SetColour(int colour) { m_colour = colour; }

  // Bounding box over the vertices of one of the owner's lists; depth is its middle in z.
  void ComputeBox(int list);
  const CFixVector& GetBoxMin() const { return m_boxMin; }
  const CFixVector& GetBoxMax() const { return m_boxMax; }
  int GetDepth() const;

  // Projects the vertices of one list to client pixels (x >> 16 + centre x, likewise y) and
  // tells whether the result faces the viewer.
  bool Project(int list);
  // The same points before they are cut to whole pixels, for painting with coverage.
  void ProjectExact(int list, std::vector<PointF>& out) const;
  bool IsFrontFacing() const;
  const POINT* GetPoints() const { return m_points.data(); }

 private:
  CPolyModel* m_owner;
  int m_id = 0;
  std::vector<int> m_vertices;
  int m_colour = -1;
  CFixVector m_boxMin;
  CFixVector m_boxMax;
  std::vector<POINT> m_points;
};

class CPolyModel : public CUObject {
 public:
  CPolyModel();
  ~CPolyModel() override;
  CPolyModel(const CPolyModel&) = delete;
  CPolyModel& operator=(const CPolyModel&) = delete;

  // The model part of the puzzle file: vertices, facelets, model size, palette.
  void Read(CUBuffer& b) override;
  void Write(CUBuffer& b) override;

  // Deletes all vertices, facelets and the palette.
  virtual void Clear();
  virtual void SetModelSize(float size);
  virtual void ResetView(int width, int height);
  // Sizes the drawing for a view of width x height, keeping its turn: the view the player has
  // turned to stays, only larger or smaller. A model without a view yet gets the reset view.
  void ResizeView(int width, int height);
  virtual void SortFacelets();
  // Paints the model far to near from the view vertices, skipping facelets turned away; the
  // view and the painting order are brought up to date first.
  virtual void Draw(CDC* dc, CDib* dib);
  // Called after each facelet is painted, with its projected points; nothing by default.
  virtual void DrawFaceletExtra(CDC* dc, CDib* dib, CFacelet* facelet, const POINT* points);

  // 1 loaded; 0 refused as damaged or foreign (the puzzle keeps its previous state
  // entirely); -1 the file could not be opened. The view is rebuilt in every case.
  virtual int Load(const char* path);
  // The same for a file already in memory (read from the buffer's position).
  virtual int LoadFromBuffer(CUBuffer& data);
  // Writes a temporary file beside the target and renames it over the target, so a
  // failed save leaves any previous file whole. 1 on success.
  virtual int Save(const char* path);

  // Construction, for puzzle constructors. Each returns the new vertex or facelet index.
  int AddVertex(const CFixVector& v);
  int AddVertex(int wholeX, int wholeY, int wholeZ);
  int AddVertex(float fx, float fy, float fz);
  int AddFacelet(const int* indices, int count);
  void SetPalette(const COLORREF* colours, int count);
  void SetFaceletColour(int id, int colour);  // unknown ids are ignored
  // For models that rebuild themselves: deletes every facelet (the vertices stay); and
  // deletes the vertices from `index` to the last from all three lists, refusing (0) while a
  // facelet still uses one of them.
  void DeleteFacelets();
  virtual BOOL RemoveVerticesFrom(int index);

  // Helpers for building permutations and vertex lists.
  static void CycleFacelets(int* values, const int* indices, int count);
  static void ReverseList(int* values, int count);
  // out = model vertex c - model vertex a + model vertex b (fourth corner of a parallelogram).
  void ParallelPoint(CFixVector& out, int a, int b, int c) const;

  // Queries; out-of-range indices give null, -1 or 0.
  int GetVertexCount() const { return m_modelVertices.GetCount(); }
  CFixVector* GetVertex(int index, int list) const;
  int GetFaceletCount() const { return m_facelets.GetCount(); }
  CFacelet* GetFacelet(int position) const;  // position in the painting order
  CFacelet* GetFaceletById(int id) const;
  int GetFaceletColour(int id) const;
  int GetPaletteCount() const { return static_cast<int>(m_palette.size()); }
  COLORREF GetPaletteEntry(int index) const;
  void SetPaletteEntry(int index, COLORREF colour);

  // View.
  float GetModelSize() const { return m_modelSize; }
  void RotateViewX(int delta);
  void RotateViewY(int delta);
  void RotateViewZ(int delta);
  void SetCentre(int x, int y);
  // Takes the view's turn, size and centre from another model (the same puzzle restored).
  void CopyViewFrom(const CPolyModel& other);
  void UpdateView();
  const CFixMatrix& GetViewMatrix() const { return m_viewMatrix; }
  int IsViewValid() const { return m_viewValid; }
  int IsOrderValid() const { return m_orderValid; }
  int GetViewWidth() const { return m_viewWidth; }
  int GetViewHeight() const { return m_viewHeight; }
  POINT GetCentre() const { return POINT{m_centreX, m_centreY}; }
  int GetViewAngleX() const { return m_viewAngleX; }
  int GetViewAngleY() const { return m_viewAngleY; }
  int GetViewAngleZ() const { return m_viewAngleZ; }

  // Painting one facelet from a vertex list: with cull a facelet turned away is skipped (and
  // its hook not called); noOutline paints without the pen selected in dc.
  void PaintFacelet(CDC* dc, CDib* dib, CFacelet* facelet, int list, BOOL cull, BOOL noOutline);
  // The facelet's symbol from the same vertex list, filled as the facelet is, in the ink that
  // reads on its colour; nothing for a facelet turned away or too small for a mark.
  void PaintFaceletSymbol(CDC* dc, CFacelet* facelet, int list);
  // A 1-pixel line from a to b (b not drawn) in standard colour (colourNumber & 0xFF) % 16.
  static void DrawLine(CDC* dc, POINT a, POINT b, int colourNumber);
  // The same line as part of the model's painting: handed to the smooth painter too, from the
  // exact corners of the facelet being painted where a and b are its corners.
  void PaintLine(CDC* dc, POINT a, POINT b, int colourNumber);
  // While a painter is given, painting hands facelets, outlines and lines to it with their
  // exact positions, to be painted with coverage; with classicToo the drawing context is
  // painted as well, else it is left alone. Null ends it.
  void SetSmoothPainter(CCoveragePainter* painter, bool classicToo);
  CCoveragePainter* GetSmoothPainter() const { return m_smooth; }
  // Outlines of 2 or 3 pixels are painted as the 1-pixel outline again one pixel right and
  // down; 1 (the default) is the plain outline.
  void SetOutlineWidth(int width) { m_outlineWidth = width < 1 ? 1 : (width > 3 ? 3 : width); }
  int GetOutlineWidth() const { return m_outlineWidth; }
  // Symbols on facelets: every coloured facelet painted gets its colour's mark (off by default).
  void SetShowSymbols(bool on) { m_showSymbols = on; }
  bool GetShowSymbols() const { return m_showSymbols; }
  // The 16 standard colours, black to white.
  static const COLORREF cm_standardColours[16];

  // Id of the nearest facelet facing the viewer whose painted pixels hold p (client pixels),
  // or -1. Uses the view as last painted.
  int GetFaceletAt(POINT p);

  // The text shown when a puzzle file is refused.
  static const char* GetBadFileMessage();

 protected:
  // Reading a file: a record that does not fit marks the read failed; the readers stop there.
  void MarkReadFailed() { m_readFailed = 1; }
  int HasReadFailed() const { return m_readFailed; }
  // Marks the read failed unless n more bytes are there.
  int NeedBytes(CUBuffer& b, std::int64_t n);
  // A count of records of at least minBytes each; -1 (read failed) when the rest of the
  // buffer cannot hold them.
  int ReadCount(CUBuffer& b, int minBytes);
  // Reads facelets into a list; ids must run 0..count-1 and vertex indices must be valid.
  void ReadFacelets(CUBuffer& b, CUObArray& list);

  void InvalidateView() { m_viewValid = 0; }
  void SetOrderValid(int valid) { m_orderValid = valid; }
  CUObArray& FaceletList() { return m_facelets; }
  CUObArray& ModelVertices() { return m_modelVertices; }
  CUObArray& ViewVertices() { return m_viewVertices; }
  CUObArray& FrameVertices() { return m_frameVertices; }
  CFixMatrix& ViewMatrix() { return m_viewMatrix; }

 private:
  void AddVertexLists(CFixVector* model);
  void PaintFaceletClassic(CDC* dc, CFacelet* facelet, bool noOutline);
  void HandFaceletToPainter(CDC* dc, CFacelet* facelet, int list, bool noOutline);
  // The exact position of a corner of the facelet being painted, given at whole pixels.
  PointF ExactPoint(POINT p) const;

  CUObArray m_modelVertices{0, 1};
  CUObArray m_viewVertices{0, 1};
  CUObArray m_frameVertices{0, 1};
  CUObArray m_facelets{0, 1};
  CFixMatrix m_viewMatrix;
  int m_viewValid = 0;
  int m_orderValid = 0;
  float m_modelSize = 1.0f;
  std::vector<COLORREF> m_palette;
  int m_viewWidth = 0;
  int m_viewHeight = 0;
  int m_centreX = 0;
  int m_centreY = 0;
  int m_viewAngleX = 0;
  int m_viewAngleY = 0;
  int m_viewAngleZ = 0;
  int m_outlineWidth = 1;
  bool m_showSymbols = false;
  int m_readFailed = 0;
  CCoveragePainter* m_smooth = nullptr;
  bool m_smoothClassicToo = false;
  // The facelet being painted, at whole and exact pixels: lines between its corners meet them.
  std::vector<POINT> m_smoothCorners;
  std::vector<PointF> m_smoothExact;
};
