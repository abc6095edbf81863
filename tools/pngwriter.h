// Writing an 8-bit bitmap with a colour table as an indexed PNG file.
#pragma once

#include <string>

class CBitmap;

// Writes the image to path through a temporary file beside it, so a failed write leaves any
// previous file whole. Returns an empty string on success, else the reason.
std::string WriteIndexedPng(const CBitmap& image, const char* path);
