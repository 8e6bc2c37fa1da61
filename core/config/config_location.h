#pragma once
// Where the program keeps "config.ini": beside the program on Windows; elsewhere in the user's
// configuration folder, so that an installed program never writes next to its binary.

#include <optional>
#include <string>

namespace hivora {

struct ConfigLocationInputs {
    bool windows = false;
    std::string programFolder;                 // the folder of the running program
    std::optional<std::string> xdgConfigHome;  // $XDG_CONFIG_HOME, when set
    std::optional<std::string> home;           // $HOME, when set
};

// The folder that holds "config.ini": the program's folder on Windows; otherwise
// $XDG_CONFIG_HOME/hivora when that is an absolute path, else $HOME/.config/hivora. Nothing when
// neither is usable (the program then keeps its colours for the run only).
std::optional<std::string> configFolder(const ConfigLocationInputs& inputs);

}  // namespace hivora
