// Umbrella header of the window-system layer.
#pragma once

#include <platform/types.h>
#include <platform/gdiobj.h>
#include <platform/palette.h>
#include <platform/bitmap.h>
#include <platform/image32.h>
#include <platform/region.h>
#include <platform/dc.h>
#include <platform/messages.h>
#include <platform/wnd.h>
#include <platform/eventloop.h>
#include <platform/app.h>
#include <platform/dialog.h>
#include <platform/controls.h>
#include <platform/services.h>
#include <platform/joystick.h>
