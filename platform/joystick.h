// The joystick, in the shape of the multimedia joystick interface: raw axis positions 0..65535
// centred on 0x8000, a button mask, and the product's name. Joystick 0 is the first device the
// desktop reports; SDL's virtual joysticks count too (tests use them).
#pragma once

#include <platform/messages.h>
#include <platform/types.h>

constexpr DWORD JOY_RETURNX = 0x001;
constexpr DWORD JOY_RETURNY = 0x002;
constexpr DWORD JOY_RETURNZ = 0x004;
constexpr DWORD JOY_RETURNR = 0x008;
constexpr DWORD JOY_RETURNU = 0x010;
constexpr DWORD JOY_RETURNV = 0x020;
constexpr DWORD JOY_RETURNPOV = 0x040;
constexpr DWORD JOY_RETURNBUTTONS = 0x080;
constexpr DWORD JOY_RETURNALL = 0x0FF;
constexpr DWORD JOY_POVCENTERED = 0xFFFF;
constexpr UINT JOYSTICKID1 = 0;
constexpr int MAXPNAMELEN = 32;

struct JOYINFOEX {
  DWORD dwSize = sizeof(JOYINFOEX);
  DWORD dwFlags = JOY_RETURNALL;
  DWORD dwXpos = 0;
  DWORD dwYpos = 0;
  DWORD dwZpos = 0;
  DWORD dwRpos = 0;
  DWORD dwUpos = 0;
  DWORD dwVpos = 0;
  DWORD dwButtons = 0;
  DWORD dwButtonNumber = 0;
  DWORD dwPOV = JOY_POVCENTERED;
  DWORD dwReserved1 = 0;
  DWORD dwReserved2 = 0;
};

struct JOYCAPS {
  WORD wMid = 0;
  WORD wPid = 0;
  char szPname[MAXPNAMELEN] = {};
  UINT wXmin = 0, wXmax = 65535, wYmin = 0, wYmax = 65535, wZmin = 0, wZmax = 65535;
  UINT wNumButtons = 0;
  UINT wPeriodMin = 10, wPeriodMax = 1000;
  UINT wNumAxes = 0;
  UINT wMaxAxes = 6;
  UINT wMaxButtons = 32;
  char szRegKey[MAXPNAMELEN] = {};
};

// Number of joysticks the interface can address (connected ones are 0..count-1).
UINT joyGetNumDevs();
// JOYERR_NOERROR, JOYERR_PARMS for an id out of range, JOYERR_UNPLUGGED when none is there.
UINT joyGetDevCaps(UINT id, JOYCAPS* caps, UINT size);
UINT joyGetPosEx(UINT id, JOYINFOEX* info);
// The product name of joystick id; JOYERR_NOCANDO (name emptied) when there is no such joystick.
UINT joyGetProductName(UINT id, char* name, int size);
