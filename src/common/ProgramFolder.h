#pragma once
// The folder of the running program file, as the platform tells it.
// Implemented once per platform (win/ProgramFolder.cpp on Windows).
#include <string>

namespace tavirel {

std::u16string ProgramFolder();

}  // namespace tavirel
