#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A mono 16-bit WAV of a quiet tone.
void WriteTone(const fs::path& path, int rate, int count) {
  std::vector<std::int16_t> samples(count);
  for (int i = 0; i < count; ++i) samples[i] = std::int16_t(3000 * std::sin(i * 0.05));
  const auto u32 = [](std::ofstream& out, std::uint32_t v) {
    out.write(reinterpret_cast<const char*>(&v), 4);
  };
  const auto u16 = [](std::ofstream& out, std::uint16_t v) {
    out.write(reinterpret_cast<const char*>(&v), 2);
  };
  std::ofstream out(path, std::ios::binary);
  const std::uint32_t bytes = count * 2;
  out.write("RIFF", 4);
  u32(out, 36 + bytes);
  out.write("WAVEfmt ", 8);
  u32(out, 16);
  u16(out, 1);
  u16(out, 1);
  u32(out, rate);
  u32(out, rate * 2);
  u16(out, 2);
  u16(out, 16);
  out.write("data", 4);
  u32(out, bytes);
  out.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

struct Echo {
  pid_t pid = 0;
  int input = -1;  // our end of its stdin
  FILE* output = nullptr;
};

// Starts the echo program with the given arguments; stdin and stdout are pipes to the test.
Echo Start(std::vector<std::string> arguments) {
  const std::string program = std::string(SONAVERA_PROGRAM_DIR) + "/sonavera-echo";
  arguments.insert(arguments.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : arguments) argv.push_back(a.data());
  argv.push_back(nullptr);
  int in[2], out[2];
  EXPECT_EQ(pipe(in), 0);
  EXPECT_EQ(pipe(out), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, in[1]);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  Echo echo;
  EXPECT_EQ(posix_spawn(&echo.pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  echo.input = in[1];
  echo.output = fdopen(out[0], "r");
  return echo;
}

std::string FirstLine(Echo& echo) {
  char line[128] = {};
  if (!fgets(line, sizeof line, echo.output)) return {};
  return line;
}

int Wait(Echo& echo) {
  int status = 0;
  waitpid(echo.pid, &status, 0);
  if (echo.input >= 0) close(echo.input);
  fclose(echo.output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class EchoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    wav = fs::temp_directory_path() / ("sonavera_echo_" + std::to_string(getpid()) + ".wav");
    WriteTone(wav, 22050, 2205);
  }
  void TearDown() override { fs::remove(wav); }
  fs::path wav;
};

TEST_F(EchoTest, StopsCleanlyOnSigtermAndOnStdinClose) {
  for (bool bySignal : {true, false}) {
    Echo echo = Start({"--mic-file", wav.string(), "--no-window"});
    EXPECT_EQ(FirstLine(echo).rfind("ready ", 0), 0u);
    if (bySignal) {
      kill(echo.pid, SIGTERM);
    } else {
      close(echo.input);
      echo.input = -1;
    }
    EXPECT_EQ(Wait(echo), 0) << (bySignal ? "SIGTERM" : "stdin closed");
  }
}

TEST_F(EchoTest, BadInputIsRefusedWithAMessage) {
  Echo missing = Start({"--mic-file", (wav.string() + ".missing"), "--no-window"});
  EXPECT_EQ(FirstLine(missing), "");
  EXPECT_EQ(Wait(missing), 1);
  Echo unknown = Start({"--loud"});
  EXPECT_EQ(Wait(unknown), 2);
  std::ofstream(wav, std::ios::binary) << "RIFF-not-a-wave";
  Echo broken = Start({"--mic-file", wav.string(), "--no-window"});
  EXPECT_EQ(Wait(broken), 1);
}

}  // namespace
