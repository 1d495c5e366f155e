#pragma once

#include <functional>

// Ends the program (the version gate, the login window's timer, closing the main window). Tests
// replace the handler so that nothing quits the test process.
namespace Program {
void requestEnd();
void setEndHandler(const std::function<void()> &handler);   // empty: the default (quit)
}
