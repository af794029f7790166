// The e2e target's window that is not Unicode (AnsiWindow.cpp).
#pragma once

#include <windows.h>

#include <string>

// Runs the "ansi" mode until its window closes; the process's exit code.
int RunAnsiTarget(HINSTANCE inst, const std::wstring& out);
