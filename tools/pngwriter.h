// Writing an 8-bit bitmap with a colour table as an indexed PNG file, and a 32-bit picture as
// an RGB one.
#pragma once

#include <string>

class CBitmap;
class CImage32;

// Writes the image to path through a temporary file beside it, so a failed write leaves any
// previous file whole. Returns an empty string on success, else the reason.
std::string WriteIndexedPng(const CBitmap& image, const char* path);

// Writes a 32-bit picture as an RGB PNG file, the same way.
std::string WriteRgbPng(const CImage32& image, const char* path);
