// The editor's pixel scale on high-resolution screens: 1 or 2. A window at
// scale 2 is twice the editor's size and shows each pixel as a 2 x 2 block.
#pragma once

// Any factor rounds to the nearer of 1 and 2 (1.5 gives 2); factors that are
// not finite or not above 0 give 1.
int EditorScaleFromFactor(double factor);
// The scale the desktop asks for through GDK_SCALE; 1 when it is unset or
// not a number.
int EditorScaleFromEnvironment();
