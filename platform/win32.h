// The one header through which the program sees Windows. On Windows it is the
// real SDK; on the host it is winsim, which offers the same names and types.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>
#else
#include "winsim/winsim.h"
#endif
