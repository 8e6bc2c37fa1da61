#pragma once
// Whether a wineserver is running for a Wine prefix. While one runs it holds the prefix's registry
// in memory and writes it back when it exits, so edits made to the files meanwhile would be lost.

#include <string>
#include <vector>

namespace hivora {

// The folders a server for `prefixFolder` keeps its socket and lock in, named by the device and
// inode of the prefix folder in hex ("server-fe00-a7a009"):
// - Wine as released: "<base>/.wine-<uid>/server-<dev>-<inode>";
// - Debian's Wine: "<base>/<name>/server-<dev>-<inode>", where <name> ("wine-XXXXXX", made
//   with mkdtemp) is written in the file "wineserver" inside the prefix.
// `base` is the system temporary folder: empty means $TMPDIR and /tmp, as Wine uses them.
// Empty when the prefix folder does not exist.
std::vector<std::string> wineserverFolders(const std::string& prefixFolder,
                                           const std::string& base = {});

// True when a process holds the server's lock in one of those folders (the server holds it as
// long as it runs), or, where the file system cannot report locks, when its socket exists. False
// when there is no such folder or nothing holds the lock (a server that ended leaves the folder).
bool wineserverRunning(const std::string& prefixFolder, const std::string& base = {});

}  // namespace hivora
