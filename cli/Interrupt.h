#pragma once
// Ctrl+C (SIGINT) and SIGTERM while a command runs. The first one shuts every
// link of the process down (TcpLink::AbortAll), so that a transfer or a watch
// ends at once with its links closed; the command then returns and the tool
// exits with 130. A command that still has not returned after a grace period
// (a wait outside the links), or a second signal, ends the process with 130
// at once.

namespace quelnet::cli {

inline constexpr int ExitInterrupted = 130; // 128 + SIGINT, as shells report it

// Installs the handlers and the thread that serves them; once per process.
void HandleInterrupts();
// A signal has come.
bool Interrupted();

} // namespace quelnet::cli
