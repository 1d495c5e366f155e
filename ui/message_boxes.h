#pragma once

// Shows the program's messages as real message boxes over the window in front. Installed once at
// start-up; until then (and in tests) the messages go elsewhere (ui/messages.h).
void installMessageBoxes();

// Whether the desktop can open a folder for the user (the button of a box that names a file).
bool canOpenFolders();
