#pragma once
// Resource numbers of Tavirel.exe.
#define IDI_APP 128
#define IDI_OFF 152
#define IDI_ON 153
