// The wizard's side picture, drawn at run time: 122 x 262 pixels in the
// sixteen standard colours.
#pragma once

#include <windows.h>

namespace uninst {

constexpr int kSidePictureWidth = 122;
constexpr int kSidePictureHeight = 262;

// A 4-bit DIB section; the caller deletes it.
HBITMAP CreateSidePicture();

}  // namespace uninst
