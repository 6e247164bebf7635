#pragma once

#include <QComboBox>
#include <QString>

#include "model/vocabulary.h"

namespace vrx {

// Fills a drop-down with a list of the core's vocabulary, first entry selected.
inline void fillCombo(QComboBox& box, const NameList& names) {
    box.clear();
    for (const auto& name : names) {
        box.addItem(QString::fromStdString(name));
    }
    if (!names.empty()) {
        box.setCurrentIndex(0);
    }
}

// Selects the entry of a stored value. A value outside the list shows no entry rather
// than a wrong one; the stored value itself stays as it is.
inline void showComboIndex(QComboBox& box, int index) {
    box.setCurrentIndex(index >= 0 && index < box.count() ? index : -1);
}

}  // namespace vrx
