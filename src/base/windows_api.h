#pragma once
// The Windows API without its min and max macros and its rarely used parts, for the
// files of the file-system helper that speak to Windows.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif
