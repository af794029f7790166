#pragma once
// The public half of the release key that update packages are signed with.
// The build leaves it empty; scripts/package writes the release key into the
// copy of Tavirel.exe it packages (before any Authenticode signature), so a
// program built by hand checks for no update and trusts nothing.
#include <optional>

#include "app/UpdateSignature.h"

namespace tavirel {

// The key's X and Y, or nullopt when this copy carries no key.
std::optional<PublicKeyP256> ReleasePublicKey();

}  // namespace tavirel
