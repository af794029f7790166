#pragma once
// Version numbers of the update check. A version is dot-separated decimal
// parts ("1.10.2"); two versions compare part by part as numbers, a missing
// part counting as 0, so "1.10" is newer than "1.9" and "1.2" equals "1.2.0.0".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavirel {

using VersionParts = std::vector<uint32_t>;

// The text without leading and trailing spaces, tabs, CR and LF.
std::u16string_view TrimVersionText(std::u16string_view text);

// Parses a trimmed or untrimmed version text: 1 to 4 parts of 1 to 9 ASCII
// digits each. Anything else (empty parts, signs, letters, a fifth part)
// gives nullopt.
std::optional<VersionParts> ParseVersion(std::u16string_view text);

// -1, 0 or 1 as a is older than, equal to or newer than b.
int CompareVersions(const VersionParts& a, const VersionParts& b);

}  // namespace tavirel
