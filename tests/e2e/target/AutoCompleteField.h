#pragma once
// The e2e target's completing field (see AutoCompleteField.cpp).
#include <windows.h>

#include <string>

// Makes a single-line EDIT control complete what is typed into it.
void MakeAutoCompleteField(HWND edit);
// The field's text without its selected suggested tail.
std::wstring TypedText(HWND edit);
