#pragma once

// What the editor window's command files share: the words of its titles, and the
// conversion of a file dialog's answer into a path the file functions take.

#include <QString>

#include "editor/local_path.h"

namespace vrx::window {

inline const QString kTitleStem = QStringLiteral("VRXConfig");
inline const QString kSaveErrorTitle = QStringLiteral("File Save Error!");

// The tabs of `tabScope`, in their order.
enum Tab { kChannelTab = 0, kPinTab = 1, kGeneralTab = 2 };

}  // namespace vrx::window
