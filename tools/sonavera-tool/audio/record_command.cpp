// sonavera-tool record --seconds N OUT.wav [--device I] [--mic-file WAV]: a microphone check.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/hw_mci.h"
#include "command.h"

namespace {

bool ParseInt(const std::string& text, long min, long max, long* value) {
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < min || parsed > max) return false;
  *value = parsed;
  return true;
}

int RunRecord(const std::vector<std::string>& args) {
  using sonavera::tool::Fail;
  long seconds = -1;
  long device = -1;
  std::string out;
  sonavera::platform::MicSettings mic;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--seconds") {
      if (!hasValue || !ParseInt(args[++i], 1, 3600, &seconds)) return Fail("--seconds needs 1..3600");
    } else if (arg == "--device") {
      if (!hasValue || !ParseInt(args[++i], -1, 255, &device)) return Fail("--device needs a device number");
    } else if (arg == "--mic-file") {
      if (!hasValue) return Fail("--mic-file needs a WAV file");
      mic.micFile = args[++i];
    } else if (out.empty() && !arg.starts_with("--")) {
      out = arg;
    } else {
      return Fail("unexpected argument: " + arg);
    }
  }
  if (seconds < 0 || out.empty()) return Fail("usage: record --seconds N OUT.wav [--device I] [--mic-file WAV]");
  mic.device = static_cast<int>(device);

  sonavera::audio::CHwMCI recorder;
  recorder.SetMicSettings(mic);
  if (!recorder.StartRecording(2, 44100, 16)) return Fail("cannot record: " + recorder.lastError());
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  recorder.Stop();
  if (!recorder.SaveAs(out)) return Fail("cannot save: " + recorder.lastError());
  recorder.Close();
  return 0;
}

}  // namespace

SONAVERA_TOOL_COMMAND("record", "record --seconds N OUT.wav [--device I] [--mic-file WAV]   record the microphone",
                      RunRecord);
