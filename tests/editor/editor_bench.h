#pragma once

#include <QAction>
#include <QComboBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>

#include "editor/main_window.h"
#include "editor/pin_grid.h"
#include "model/program_image.h"
#include "recording_dialogs.h"

namespace vrx::testing {

// A main window over recorded dialogs, with a folder of its own for the files it opens
// and saves.
class EditorBench {
public:
    std::unique_ptr<MainWindow> makeWindow(QStringList pictureFolders = {VRX_RESOURCE_DIR}) {
        dialogs = RecordingDialogs{};
        return std::make_unique<MainWindow>(
            EditorSetup{numberedInstruments(128), &dialogs, std::move(pictureFolders)});
    }
    // A window holding `data`, as after opening it from a file.
    std::unique_ptr<MainWindow> windowWith(const ProgramData& data) {
        auto window = makeWindow();
        window->decodeProgramData(encodeProgramData(data));
        return window;
    }
    QString path(const QString& name) const { return folder.filePath(name); }

    RecordingDialogs dialogs;
    QTemporaryDir folder;
};

template <typename T = QAction>
T* named(const QObject& parent, const QString& name) {
    auto* found = parent.findChild<T*>(name);
    if (!found) {
        qFatal("no %s", qPrintable(name));
    }
    return found;
}

inline PinGrid* gridOf(const QObject& window) {
    return window.findChild<PinGrid*>();
}

// Opens the floating drop-down of a cell and picks an entry as the keyboard would,
// leaving the choice floating.
inline QComboBox* pickInCell(PinGrid& grid, int row, int column, int choose) {
    grid.beginCellEdit(row, column);
    QComboBox* box = grid.activeEditor();
    if (box) {
        box->hidePopup();
        box->setCurrentIndex(choose);
    }
    return box;
}

// The same, with the choice taken into the configuration.
inline void editPin(const QObject& window, int row, int column, int choose) {
    pickInCell(*gridOf(window), row, column, choose);
    gridOf(window)->commitPendingEdit();
}

inline QString cellText(const QObject& window, int row, int column) {
    return gridOf(window)->table()->item(row - 1, column - 1)->text();
}

}  // namespace vrx::testing
