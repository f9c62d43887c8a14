#pragma once
// The whole program: start-up, message loop, exit code. WinMain only calls it.
#include <windows.h>

int runProgram(HINSTANCE instance, int showCommand);
