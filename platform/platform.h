// Umbrella header of the window-system layer.
#pragma once

#include <platform/types.h>
#include <platform/gdiobj.h>
#include <platform/palette.h>
#include <platform/bitmap.h>
#include <platform/region.h>
#include <platform/dc.h>
