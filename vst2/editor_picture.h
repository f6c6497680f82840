// The editor's picture through effVendorSpecific, a request of this system's
// own: tools that run without a display (skylane-host --render-editor) ask
// the plug-in to paint its whole editor off screen and copy it out.
#pragma once

#include "vst2/aeffect.h"

// effVendorSpecific index 'SkPi'; ptr points to a SkyEditorPicture.
constexpr VstInt32 kSkyVendorEditorPicture = 0x536B5069;

struct SkyEditorPicture {
  VstInt32 width;  // set by the plug-in: the editor's size in pixels
  VstInt32 height;
  unsigned char* rgba;  // width x height pixels of R, G, B, A bytes, row by row
  VstIntPtr capacity;   // bytes at rgba
};

// Ask on the thread that gives the editor its idle calls (the picture is
// painted as a frame is). Answer: 0 without an editor; otherwise width and height are set and the
// result is width x height, and the picture is written when rgba holds at
// least width x height x 4 bytes (else rgba is left alone).
