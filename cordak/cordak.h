// Cordak, the utility library: everything in one include.
#pragma once

#include <cordak/buffer.h>
#include <cordak/clipboard.h>
#include <cordak/crypt.h>
#include <cordak/file.h>
#include <cordak/flag.h>
#include <cordak/inifile.h>
#include <cordak/obarray.h>
#include <cordak/object.h>
#include <cordak/oblist.h>
#include <cordak/obmap.h>
#include <cordak/urand.h>
#include <cordak/ustring.h>
#include <cordak/utime.h>
