#pragma once

#include <functional>

#include "model/program_edit.h"

namespace vrx {

// Where a view sends the user's edits. The main window makes each one an undoable step;
// a view on its own (as the tests build it) writes the edit straight into its data.
using EditSink = std::function<void(const ProgramEdit&)>;

inline void sendEdit(const EditSink& sink, ProgramData& data, const ProgramEdit& edit) {
    if (sink) {
        sink(edit);
    } else {
        data = applyEdit(data, edit);
    }
}

}  // namespace vrx
