#pragma once
// dlib as the program builds it on every system, whatever the installed dlib was
// configured with: its own templates for the few vector sums the trees need, not a BLAS
// or LAPACK beside it (whose last bits differ from one library to the next), no GUI, no
// picture files and no asserts. The learning and the suggestions then compute the same on
// Linux and Windows. Included before any other dlib header.

// The settings file has no guard of its own: it is read once, through the two headers
// that include it (which have guards), and changed after.
#include <dlib/assert.h>
#include <dlib/test_for_odr_violations.h>

#undef DLIB_USE_BLAS
#undef DLIB_USE_LAPACK
#undef DLIB_USE_MKL_FFT
#undef DLIB_USE_FFTW
#undef DLIB_JPEG_SUPPORT
#undef DLIB_PNG_SUPPORT
#undef DLIB_GIF_SUPPORT
#undef DLIB_WEBP_SUPPORT
#ifndef DLIB_NO_GUI_SUPPORT
#define DLIB_NO_GUI_SUPPORT
#endif
#ifndef DLIB_DISABLE_ASSERTS
#define DLIB_DISABLE_ASSERTS
#endif
