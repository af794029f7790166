#pragma once
// Where the program's files live: the folder of the running program, its
// "Resources" sub-folder for the shipped data, and the folder itself for the
// user's settings files.
#include <filesystem>
#include <string>

namespace tavirel {

// Folder of the running program file, without a trailing separator.
// Computed once and cached.
const std::u16string& AppDirectory();

// Overrides the folder (tests and tools that keep their files elsewhere).
// An empty text goes back to the program's own folder.
void SetAppDirectory(const std::u16string& dir);

// Joins a folder and a file name with the platform's separator.
std::u16string JoinPath(const std::u16string& dir, const std::u16string& name);

// AppDirectory()/Resources/name.
std::u16string ResourcePath(const std::u16string& name);

// AppDirectory()/name (the user's own files).
std::u16string AppFilePath(const std::u16string& name);

// A filesystem path for a UTF-16 path text.
std::filesystem::path ToFsPath(const std::u16string& path);

bool FileExists(const std::u16string& path);

}  // namespace tavirel
