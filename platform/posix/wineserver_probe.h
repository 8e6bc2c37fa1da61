#pragma once
// Whether a wineserver is running for a Wine prefix. While one runs it holds the prefix's registry
// in memory and writes it back when it exits, so edits made to the files meanwhile would be lost.

#include <string>

namespace hivora {

// Wine keeps a running server's socket and lock in "<base>/.wine-<uid>/server-<dev>-<inode>/",
// named by the device and inode of the prefix folder (in hex), with <base> the system's "/tmp".
std::string wineserverFolder(const std::string& prefixFolder, const std::string& base = "/tmp");

// True when a process holds the server's lock in that folder (the server holds it as long as it
// runs), or, where the file system cannot report locks, when its socket exists. False when there
// is no such folder or nothing holds the lock (a server that ended leaves the folder behind).
bool wineserverRunning(const std::string& prefixFolder, const std::string& base = "/tmp");

}  // namespace hivora
