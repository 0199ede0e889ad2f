#pragma once
// The restart request of the finish page, on Windows.

namespace ferro {

// Enables the shutdown privilege of this process's token (Windows grants a
// restart only with it held), then asks Windows to restart the computer.
// Returns whether Windows accepted the request; the restart itself follows
// asynchronously once it is accepted.
bool requestWindowsRestart();

}  // namespace ferro
