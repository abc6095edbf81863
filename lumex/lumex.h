// Umbrella header of the graphics library.
#pragma once

#include <lumex/bmpfile.h>
#include <lumex/dialogs.h>
#include <lumex/dib.h>
#include <lumex/dibwnd.h>
#include <lumex/frame.h>
#include <lumex/quantizer.h>
#include <lumex/resources.h>
#include <lumex/utils.h>
