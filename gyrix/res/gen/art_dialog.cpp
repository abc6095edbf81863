// Faces for the options dialog, in the classic grey of the dialog's own controls and drawn
// from the 16 standard colours only: the colour buttons show them through a palette that has
// just those. Drawn pixel by pixel; nothing is transparent.
#include "art.h"

#include <gyrix/res/resources.h>

namespace {

const Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kFace{192, 192, 192}, kShadow{128, 128, 128};
const Rgb kYellow{255, 255, 0}, kDarkYellow{128, 128, 0};

void Box(CPainter& p, int x, int y, int w, int h, Rgb c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) p.Blend(i, j, c, 1);
}

// A button's two-pixel bevel around (x, y, w, h).
void Bevel(CPainter& p, int x, int y, int w, int h, bool sunken) {
  const Rgb outerLight = sunken ? kBlack : kWhite, outerDark = sunken ? kWhite : kBlack;
  const Rgb innerLight = sunken ? kShadow : kFace, innerDark = sunken ? kFace : kShadow;
  Box(p, x, y, w, 1, outerLight);
  Box(p, x, y, 1, h, outerLight);
  Box(p, x, y + h - 1, w, 1, outerDark);
  Box(p, x + w - 1, y, 1, h, outerDark);
  Box(p, x + 1, y + 1, w - 2, 1, innerLight);
  Box(p, x + 1, y + 1, 1, h - 2, innerLight);
  Box(p, x + 1, y + h - 2, w - 2, 1, innerDark);
  Box(p, x + w - 2, y + 1, 1, h - 2, innerDark);
}

// The three states side by side: normal, pressed (sunken, contents one pixel down and right)
// and hover (a brighter inner edge).
template <class Contents>
void ThreeStates(CPainter& p, int w, int h, Contents contents) {
  for (int state = 0; state < 3; ++state) {
    const int x = state * w;
    Box(p, x, 0, w, h, kFace);
    Bevel(p, x, 0, w, h, state == 1);
    if (state == 2) {
      Box(p, x + 1, 1, w - 3, 1, kWhite);
      Box(p, x + 1, 1, 1, h - 3, kWhite);
    }
    contents(x + (state == 1), state == 1);
  }
}

// A small open folder, 13 x 10, top-left at (x, y).
void Folder(CPainter& p, int x, int y) {
  Box(p, x + 1, y, 4, 1, kBlack);
  Box(p, x, y + 1, 1, 9, kBlack);
  Box(p, x + 5, y + 1, 6, 1, kBlack);
  Box(p, x + 1, y + 1, 4, 8, kYellow);
  Box(p, x + 5, y + 2, 6, 7, kYellow);
  Box(p, x + 11, y + 1, 1, 3, kBlack);
  // The front flap, tilted open.
  for (int j = 0; j < 6; ++j) {
    Box(p, x + 1 + (5 - j) / 2, y + 4 + j, 12 - (5 - j) / 2 - 1, 1, j == 0 ? kBlack : kDarkYellow);
    p.Blend(x + 12 - (5 - j) / 2 - 1 + (5 - j) / 2, y + 4 + j, kBlack, 1);
  }
  Box(p, x + 1, y + 9, 12, 1, kBlack);
  Box(p, x + 3, y + 5, 9, 1, kYellow);
}

Picture BrowseButton() {
  Picture picture;
  picture.id = gyrix_res::kBrowseButton;
  picture.file = "browse.bmp";
  picture.standardOnly = picture.opaque = true;
  picture.art = std::make_unique<CPainter>(69, 22, 1);
  CPainter& p = *picture.art;
  ThreeStates(p, 23, 22, [&](int x, bool pressed) { Folder(p, x + 5, 6 + pressed); });
  return picture;
}

// The colour bar sits 41 x 3 at (6, 22) of the normal and hover faces and (7, 23) when
// pressed; the game paints the chosen colour into it.
Picture ColourButton() {
  Picture picture;
  picture.id = gyrix_res::kColourButton;
  picture.file = "colourbutton.bmp";
  picture.standardOnly = picture.opaque = true;
  picture.art = std::make_unique<CPainter>(216, 32, 1);
  CPainter& p = *picture.art;
  ThreeStates(p, 72, 32, [&](int x, bool pressed) {
    const int y = pressed ? 1 : 0;
    // A sunken well around the bar.
    Box(p, x + 5, 21 + y, 43, 1, kShadow);
    Box(p, x + 5, 21 + y, 1, 5, kShadow);
    Box(p, x + 5, 25 + y, 43, 1, kWhite);
    Box(p, x + 47, 21 + y, 1, 5, kWhite);
    Box(p, x + 6, 22 + y, 41, 3, kWhite);
    // The drop-down arrow beyond a groove.
    Box(p, x + 52, 6 + y, 1, 21, kShadow);
    Box(p, x + 53, 6 + y, 1, 21, kWhite);
    for (int j = 0; j < 4; ++j) Box(p, x + 58 + j, 14 + y + j, 7 - 2 * j, 1, kBlack);
  });
  return picture;
}

// 2 rows of 8 cells of 18 x 18 from (7, 5); each swatch sits sunken inside its cell, leaving
// the cell's outer pixel free for the frame the popup draws around the cell under the mouse.
Picture ColourPopup() {
  static const COLORREF kCells[16] = {0x0080FF, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                      0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                      0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  Picture picture;
  picture.id = gyrix_res::kColourPopup;
  picture.file = "colourpopup.bmp";
  picture.standardOnly = picture.opaque = true;
  picture.art = std::make_unique<CPainter>(158, 47, 1);
  CPainter& p = *picture.art;
  Box(p, 0, 0, 158, 47, kFace);
  Bevel(p, 0, 0, 158, 47, false);
  for (int cell = 0; cell < 16; ++cell) {
    const int x = 7 + 18 * (cell % 8) + 2, y = 5 + 18 * (cell / 8) + 2;
    Bevel(p, x, y, 14, 14, true);
    Box(p, x + 2, y + 2, 10, 10, MakeRgb(kCells[cell]));
  }
  return picture;
}

}  // namespace

std::vector<Picture> DialogPictures() {
  std::vector<Picture> out;
  out.push_back(BrowseButton());
  out.push_back(ColourButton());
  out.push_back(ColourPopup());
  return out;
}
