// sonavera-artwork <program folder>: draws every picture, the bitmap font, the particle files and
// the default video of the stage into the program folder. Run by the build.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sonavera-artwork <program folder>\n");
    return 2;
  }
  // Text drawing needs a GUI application; no display is needed.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);

  sonavera::artwork::Output out{argv[1]};
  if (out.programFolder.empty() || out.programFolder.back() != '/') out.programFolder += '/';
  using namespace sonavera::artwork;
  const struct {
    const char* what;
    bool (*write)(const Output&);
  } steps[] = {{"stage pictures", WriteStagePictures},     {"dance pictures", WriteDancePictures},
               {"results pictures", WriteResultsPictures}, {"bitmap font", WriteBitmapFont},
               {"particle files", WriteParticleFiles},     {"video clip", WriteVideoClip},
               {"panel pictures", WritePanelPictures},
               {"window pictures", WriteWindowPictures},
               {"voice animations", WriteVoiceAnimations}};
  for (const auto& step : steps) {
    if (!step.write(out)) {
      std::fprintf(stderr, "sonavera-artwork: cannot write the %s into %s\n", step.what,
                   out.programFolder.c_str());
      return 1;
    }
  }
  return 0;
}
