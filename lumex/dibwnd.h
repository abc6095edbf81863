// Windows drawn from bitmaps. CDibWnd is a mix-in that gives a window a background image,
// text with an etched shadow, a font, colours and a region, and paints flicker-free through an
// off-screen CDib. CDibCtrl, CDibButton and CDibDialog combine it with the window classes.
// Every such window shares one palette (cm_palette) and one transparent colour.
#pragma once

#include <lumex/dib.h>

#include <cordak/ustring.h>
#include <platform/dialog.h>
#include <platform/palette.h>
#include <platform/region.h>
#include <platform/wnd.h>

class CDibWnd {
 public:
  // Window flags.
  static constexpr int cm_tile = 1;         // repeat the image over the window
  static constexpr int cm_transparent = 2;  // the image's transparent index shows what is behind
  static constexpr int cm_hidden = 4;       // drawing is skipped
  static constexpr int cm_singleImage = 8;  // a button with one image, shifted for its states

  // SetText alignment bits.
  static constexpr unsigned long cm_alignTop = 1, cm_alignVCenter = 2, cm_alignBottom = 4;
  static constexpr unsigned long cm_alignLeft = 8, cm_alignHCenter = 16, cm_alignRight = 32;

  static CPalette cm_palette;
  static COLORREF cm_clrText;
  static COLORREF cm_clrEtched;
  static COLORREF cm_clrTransparent;
  static int cm_nTransIndex;
  static CFont cm_font;

  CDibWnd() = default;
  CDibWnd(const CDibWnd&) = delete;
  CDibWnd& operator=(const CDibWnd&) = delete;
  virtual ~CDibWnd();

 protected:
  // Sizes the window to the image unless keepSize (then the image is tiled); sets the flags.
  virtual int Init(int transparent, int keepSize);

 public:
  // The image from a bitmap resource, on the shared palette; 0 when it does not load.
  virtual int Init(HINSTANCE module, int bitmapId, int transparent, int keepSize);
  // The image becomes part (right and bottom exclusive) of another image.
  virtual int Init(CDib& image, CRect& part, int transparent);
  virtual int Init(CDib& image, int transparent, int keepSize);
  virtual CWnd* GetWnd() { return nullptr; }
  virtual void SetWindowColor(COLORREF colour);
  virtual void SetSize(int w, int h);
  virtual void SetPos(int x, int y);
  virtual int IsValidPoint(CPoint p);
  // The window owns the region from now on.
  virtual void SetRegion(CRgn* region);
  virtual void EraseBackgrnd(CDC* dc);
  virtual void Draw(CDC* dc, CPoint at);
  // Where derived windows draw into the off-screen image before it is shown.
  virtual void PreBlt(CDC* dc, CDib* offscreen);
  // Where derived windows keep areas out of the final copy.
  virtual void ExcludeClipRect(CDC*) {}
  virtual void SetTextFont(CFont* font);
  virtual void SetTextColor(COLORREF colour) { m_textColour = colour; }
  virtual void SetEtchedColor(COLORREF colour) { m_etchedColour = colour; }
  virtual void SetText(char const* text, CPoint at);
  virtual void SetText(char const* text, unsigned long align);
  virtual void FormattedTextOut(CDC* dc, CPoint at, char const* fmt, ...);
  virtual void TextOutA(CDC* dc, int x, int y, char const* text);
  virtual void TextOutA(CDC* dc, CPoint at, char const* text) { TextOutA(dc, at.x, at.y, text); }

  void SetFlag(int bit, int on);
  int IsSet(int bit) const { return (m_flags & bit) ? 1 : 0; }
  COLORREF GetBackgroundColor() const { return m_backColour; }
  void SetBackgroundColor(COLORREF colour) { m_backColour = colour; }
  CFont* GetTextFont();
  CPoint GetChildPosition(CWnd* child);
  int SetCaption(CPoint at, HINSTANCE module, int bitmapId);
  CDib& GetImage() { return m_image; }
  const CUString& GetText() const { return m_text; }
  CPoint GetTextPosition() const { return CPoint(m_textX, m_textY); }

  // The shared palette from a bitmap's colour table; the transparent colour, its index and
  // the etched colour (so text is not etched until an etched colour is chosen).
  static int InitPalette(HINSTANCE module, int bitmapId, COLORREF transparent);
  static CPalette* GetPalette() { return &cm_palette; }
  static COLORREF GetTransColor() { return cm_clrTransparent; }
  static void SetTransColor(COLORREF colour) { cm_clrTransparent = colour; }
  static int GetTransIndex() { return cm_nTransIndex; }
  static void SetGlobalTextColor(COLORREF colour) { cm_clrText = colour; }
  static CFont* GetGlobalFont() { return &cm_font; }
  // height in tenths of a point.
  static int SetGlobalFont(int height, char const* face, int weight, int underline, int italic);
  static int CreatePointFont(CFont& font, int height, char const* face, int weight, int underline,
                             int italic);

 protected:
  // Copies the off-screen image to dc, skipping the transparent index when asked.
  static void Blit(CDC* dc, CPoint at, CDib& image, bool transparent);
  CSize ClientSize();

  CDib m_image;
  int m_flags = cm_transparent;
  CUString m_text;
  int m_textX = 0;
  int m_textY = 0;
  COLORREF m_textColour = cm_clrText;
  COLORREF m_etchedColour = cm_clrEtched;
  COLORREF m_backColour = 0xFFFFFF;
  CRgn* m_region = nullptr;
  CDib m_caption;
  int m_captionX = 0;
  int m_captionY = 0;
  CFont* m_font = nullptr;
  CPalette* m_palette = &cm_palette;
};

class CDibCtrl : public CWnd, public CDibWnd {
 public:
  CWnd* GetWnd() override { return this; }
  // A child window of the default class.
  BOOL Create(unsigned long style, CRect& rect, CWnd* parent, int id);
  BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
  void OnPaint() override;
};

class CDibButton : public CDibCtrl {
 public:
  // Image flags: which images the strip holds, left to right after the normal one.
  static constexpr BYTE cm_imgTransparent = 2;
  static constexpr BYTE cm_imgSingle = 8;
  static constexpr BYTE cm_imgPressed = 16;
  static constexpr BYTE cm_imgHover = 32;
  static constexpr BYTE cm_imgDisabled = 64;

  int CreateButton(CPoint at, CWnd* parent, int id, HINSTANCE module, int bitmapId,
                   unsigned char flags);
  int SubclassButton(CWnd* parent, int controlId, HINSTANCE module, int bitmapId,
                     unsigned char flags);
  using CDibWnd::Init;
  virtual int Init(HINSTANCE module, int bitmapId, unsigned char flags);
  // The same from an image strip already in memory.
  int InitFromImage(CDib& strip, unsigned char flags);

  int IsValidPoint(CPoint p) override;
  void Draw(CDC* dc, CPoint at) override;
  void OnLButtonDown(UINT flags, CPoint p) override;
  void OnMouseMove(UINT flags, CPoint p) override;
  void OnLButtonUp(UINT flags, CPoint p) override;

  int ImageCount() const;
  int ImageWidth() const { return m_imageWidth; }
  int ImageHeight() const { return m_imageHeight; }
  // Which image of the strip Draw shows now (0 normal, then pressed, hover, disabled).
  int CurrentImage(CSize* shift = nullptr, CSize* textShift = nullptr);

 private:
  int FinishInit(unsigned char flags);
  void Redraw();
  void PassThrough(UINT message, UINT flags, CPoint p);

  BYTE m_imageFlags = 0;
  int m_imageWidth = 0;
  int m_imageHeight = 0;
  CDib m_background;  // what lay under a transparent button, taken once
};

class CDibDialog : public CDialog, public CDibWnd {
 public:
  CDibDialog(unsigned templateId, CWnd* parent);
  CWnd* GetWnd() override { return this; }
  using CDibWnd::Init;
  int Init(HINSTANCE module, int bitmapId, int transparent, int keepSize) override;
  BOOL OnInitDialog() override;
  void OnPaint() override;
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT type) override;
  // Sets the dialog's palette and realises it; returns the previous one.
  CPalette* SetPalette(CPalette* palette);
  BOOL OnQueryNewPalette() override;
  void OnPaletteChanged(CWnd* changer) override;
  void DoDataExchange(CDataExchange*) override {}

 protected:
  CBrush m_nullBrush;
  CPalette* m_pPalette = nullptr;

 private:
  BOOL RealisePalette(bool background);
};
