#pragma once

#include "draw_helpers.h"

namespace sonavera::artwork {

/// Each writer draws one group of resources into the program folder; false when a file failed.
bool WriteStagePictures(const Output& out);
bool WriteDancePictures(const Output& out);
bool WriteResultsPictures(const Output& out);
bool WritePanelPictures(const Output& out);  // the medley's score panel
bool WriteBitmapFont(const Output& out);     // font1.fnt + font1.png
bool WriteParticleFiles(const Output& out);  // particle1.psi, trail.psi
bool WriteVideoClip(const Output& out);      // avi/2.avi
bool WriteWindowPictures(const Output& out);  // the main window's pages and mode toggles
bool WriteVoiceAnimations(const Output& out);  // the medley's man and woman frame strips

}  // namespace sonavera::artwork
