#include "core/config/config_location.h"

namespace hivora {

namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::optional<std::string> configFolder(const ConfigLocationInputs& inputs) {
    if (inputs.windows) return inputs.programFolder;
    // A relative XDG_CONFIG_HOME is to be ignored, as the base-directory rules say.
    if (inputs.xdgConfigHome && !inputs.xdgConfigHome->empty() &&
        inputs.xdgConfigHome->front() == '/') {
        return withoutTrailingSlashes(*inputs.xdgConfigHome) + "/hivora";
    }
    if (inputs.home && !inputs.home->empty() && inputs.home->front() == '/') {
        return withoutTrailingSlashes(*inputs.home) + "/.config/hivora";
    }
    return std::nullopt;
}

}  // namespace hivora
