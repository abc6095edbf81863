// Small helpers of the library: the program's folder, path pieces, rectangles, key state and
// message pumping.
#pragma once

#include <cordak/ustring.h>
#include <platform/types.h>

// The folder of the running program, ending in '/'.
CUString GetModulePath();
// The folder part of a path, ending in '/' ("" when the path has no folder).
CUString GetPath(char const* fullPath);
// The file name without folder and extension.
CUString GetFileName(char const* fullPath);

// The rectangle (p.x, p.y, p.x + w, p.y + h).
CRect SetupRect(CPoint p, int w, int h);

// 1 while the key (a VK_ code; 1 is the left mouse button) is held down.
int IsPressed(int virtualKey);

// Handles every message waiting in the queue, then returns.
void ProcessMessages();
