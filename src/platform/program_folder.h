#pragma once

#include <string>

namespace sonavera::platform {

/// The folder of the running executable, with a trailing '/'. Resources, the song library and the
/// working files are named from it (or from --program-folder, which main() passes to SetProgramFolder).
std::string ProgramFolder();

/// Overrides the program folder (a trailing '/' is added when missing).
void SetProgramFolder(const std::string& folder);

/// The folder the running executable lives in, with a trailing '/'; outside programs are found here.
std::string ExecutableFolder();

}  // namespace sonavera::platform
