#pragma once
// Reading a settings file: read, missing, or there but unreadable. An
// unreadable file (locked, no permission, a folder in its place) must never
// be written back with defaults: the user's settings are still in it.
#include <string>
#include <vector>

#include "common/TextFile.h"

namespace tavirel {

using SettingsFileStatus = TextFileStatus;

// The file's lines; lines is empty unless the status is Read.
inline SettingsFileStatus ReadSettingsLines(const std::u16string& path, std::vector<std::u16string>& lines) {
  return ReadTextFile(path, lines);
}

}  // namespace tavirel
