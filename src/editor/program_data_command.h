#pragma once

#include <QUndoCommand>

#include <functional>

#include "model/program_data.h"

namespace vrx {

// One undoable step of the editor: the configuration before and after it. Keeping both
// whole makes every step, a single field or a paste of twenty rows, undo exactly.
class ProgramDataCommand : public QUndoCommand {
public:
    // `show` puts a configuration into the editor and its views.
    using Show = std::function<void(const ProgramData& data, bool firstTime)>;

    ProgramDataCommand(const QString& name, ProgramData before, ProgramData after, Show show);

    void undo() override;
    void redo() override;

private:
    ProgramData before_;
    ProgramData after_;
    Show show_;
    bool done_ = false;
};

}  // namespace vrx
