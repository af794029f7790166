#pragma once
// The full-screen terminal session of tavirel-type.

namespace tavirel {

class TypeSession;

// Runs until Ctrl+D or Ctrl+C; returns the process exit code.
int RunInteractive(TypeSession& session);

}  // namespace tavirel
