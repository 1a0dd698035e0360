// sonavera-tool mix ACCOMPANIMENT.wav VOICE.wav OUT.wav: the mixdown of two WAV files.
#include <cstdio>

#include "audio/wav_image.h"
#include "command.h"

namespace {

// The tool has no window: messages become one line each on stderr.
class StderrMessages : public sonavera::audio::MessageSink {
 public:
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "sonavera-tool: %s%s", text.c_str(), text.ends_with('\n') ? "" : "\n");
    shown = true;
  }
  bool shown = false;
};

int RunMix(const std::vector<std::string>& args) {
  using sonavera::tool::Fail;
  if (args.size() != 3) return Fail("usage: mix ACCOMPANIMENT.wav VOICE.wav OUT.wav");
  StderrMessages messages;
  sonavera::audio::WavImage image(&messages);
  if (!image.Load(args[0])) return messages.shown ? 2 : Fail("not a readable PCM WAV file: " + args[0]);
  if (!image.MixFile(args[1])) return messages.shown ? 2 : Fail("not a readable PCM WAV file: " + args[1]);
  if (!image.Save(args[2])) return messages.shown ? 2 : Fail("cannot write " + args[2]);
  return 0;
}

}  // namespace

SONAVERA_TOOL_COMMAND("mix", "mix ACCOMPANIMENT.wav VOICE.wav OUT.wav   sum the voice into the accompaniment",
                      RunMix);
