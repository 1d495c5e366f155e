#pragma once

// Shows the program's messages as real message boxes over the window in front. Installed once at
// start-up; until then (and in tests) the messages go elsewhere (app/messages.h).
void installMessageBoxes();
