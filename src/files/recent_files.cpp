#include "files/recent_files.h"

#include <algorithm>

namespace vrx {

std::vector<std::string> withRecentFile(std::vector<std::string> recent, const std::string& path) {
    if (path.empty()) {
        return recent;
    }
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
    if (recent.size() > kRecentFileCount) {
        recent.resize(kRecentFileCount);
    }
    return recent;
}

}  // namespace vrx
