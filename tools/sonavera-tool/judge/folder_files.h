#pragma once

#include <cstdio>
#include <string>

#include "judge/judge_ports.h"

// The program's files for the offline judge and the stage snapshot; the other stand-ins for hardware
// are the judge's own (judge/offline_ports.h).

namespace sonavera::tool {

/// Files in the program's folder, as the program uses them.
class FolderFiles : public judge::ProgramFiles {
 public:
  explicit FolderFiles(std::string folder) : folder_(std::move(folder)) {}
  bool Exists(const std::string& name) override {
    FILE* file = std::fopen((folder_ + name).c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
  }
  void WriteText(const std::string& name, const std::string& text) override {
    FILE* file = std::fopen((folder_ + name).c_str(), "w+");
    if (file == nullptr) return;
    std::fputs(text.c_str(), file);
    std::fclose(file);
  }

 private:
  std::string folder_;
};

}  // namespace sonavera::tool
