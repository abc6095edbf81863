// Colour schemes: the side colours of every type at once. "Classic" is the catalogue's own
// colours; "Standard" the colours players know from the cubes, the pyramid, the Skewb and the
// dodecahedron (the catalogue's colours on the types that have no such convention);
// "Colour-blind safe" colours that stay apart for normal vision and under protanopia,
// deuteranopia and tritanopia; "High contrast" colours whose lightness differs strongly
// between sides that touch. The tables were found by tools/schemesearch.
#pragma once

#include <gyrix/engine/puzzle.h>

#include <vector>

enum class ColourScheme { Classic = 0, Standard = 1, ColourBlind = 2, HighContrast = 3 };
constexpr int kColourSchemeCount = 4;

// "Classic", "Standard", "Colour-blind safe", "High contrast"; null for a number outside.
const char* GetSchemeTitle(int scheme);
// "classic", "standard", "colour-blind", "high-contrast" (the tool's words); null outside.
const char* GetSchemeWord(int scheme);
// The scheme a word names (either form, case-insensitive), or -1.
int FindScheme(const char* word);

// The type's palette in the scheme, index 0 (the inside colour) first: the catalogue's with
// the side colours replaced. Empty outside 0..36; a scheme number outside gives the classic.
std::vector<COLORREF> GetSchemePalette(int scheme, int typeId);
// Every colour the scheme gives any type, each once: what the shared palette must hold.
std::vector<COLORREF> GetSchemeColours(int scheme);
// Gives the puzzle its type's side colours in the scheme (the entries its palette has).
void ApplyScheme(CPuzzle& puzzle, int scheme);
// Outline width of the scheme's drawing, in pixels.
int GetSchemeOutlineWidth(int scheme);
