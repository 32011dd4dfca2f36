// Pictures from the program's resources, loaded once by name.
#pragma once
#include <windows.h>

#include "gui/types.h"
#include "gui/win32/handles.h"

namespace gui::win32 {

struct LoadedBitmap {
  OwnedBitmap bitmap;
  int width = 0;
  int height = 0;
  bool alpha = false;  // 32-bit with an alpha channel, premultiplied at load
};

// The BITMAP resource of that name, or nullptr when the program has none.
const LoadedBitmap* BitmapResource(const gui::Text& name);

// Draws the picture into the destination rectangle (stretched when the sizes differ);
// pictures with alpha are blended over what the DC already holds.
void DrawBitmap(HDC dc, const LoadedBitmap& picture, const RECT& destination);
// Same, leaving out the picture's background colour (its bottom left pixel) when it has
// no alpha channel; pictures with alpha blend as with DrawBitmap.
void DrawBitmapTransparent(HDC dc, const LoadedBitmap& picture, const RECT& destination);
// Same, at a fraction of its opacity (a disabled button's glyph).
void DrawBitmapFaded(HDC dc, const LoadedBitmap& picture, const RECT& destination,
                     BYTE opacity);

}  // namespace gui::win32
