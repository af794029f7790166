#pragma once
// Where the user's settings files (LuaChon.ini, GoTat.ini, PhimTat.ini) live.
//
// Beside the program when that folder can be written (a copied, portable
// folder), otherwise in the user's own application-data folder under
// "Tavirel" (a program installed under Program Files cannot write its own
// folder). They are read from the same folder they are written to.
#include <string>

namespace tavirel {

// The folder name used under the user's local application-data folder.
inline constexpr char16_t kSettingsSubfolder[] = u"Tavirel";

// The decision: programFolder when it is writable; otherwise
// localAppData/Tavirel; programFolder again when there is no local
// application-data folder either.
std::u16string ChooseSettingsFolder(const std::u16string& programFolder, bool programFolderWritable,
                                    const std::u16string& localAppData);

// Whether a new file can be created in the folder: creates and removes a
// uniquely named probe file. False for a missing folder.
bool IsFolderWritable(const std::u16string& folder);

// The user's local application-data folder; empty where there is none
// (one implementation per platform).
std::u16string LocalAppDataFolder();

// The folder chosen for this run: set once at start-up (or by a tool's
// --config), AppDirectory() until then.
const std::u16string& SettingsFolder();
void SetSettingsFolder(const std::u16string& folder);
// Decides the folder the program's own way and sets it.
void ChooseSettingsFolderForProgram();

// SettingsFolder()/name.
std::u16string SettingsFilePath(const std::u16string& name);

// Creates the folder and its parents when missing; false when it cannot.
bool EnsureFolder(const std::u16string& folder);

}  // namespace tavirel
