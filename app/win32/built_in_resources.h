#pragma once
// The program's built-in pictures and sounds, handed to the logic at start-up.
#include <windows.h>

#include "app/app.h"

// Decodes the built-in picture and hand into app and keeps references to the
// sounds; the resource memory lives as long as the program.
void loadBuiltInResources(App& app, HINSTANCE instance);
