#include "editor/program_data_command.h"

#include <utility>

namespace vrx {

ProgramDataCommand::ProgramDataCommand(const QString& name, ProgramData before, ProgramData after,
                                       Show show)
    : QUndoCommand(name),
      before_(std::move(before)),
      after_(std::move(after)),
      show_(std::move(show)) {}

void ProgramDataCommand::undo() {
    show_(before_, false);
}

void ProgramDataCommand::redo() {
    // The first redo is the edit itself, which the views already show.
    show_(after_, !std::exchange(done_, true));
}

}  // namespace vrx
