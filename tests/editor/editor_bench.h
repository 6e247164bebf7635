#pragma once

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "editor/main_window.h"
#include "editor/pin_grid.h"
#include "files/config_file.h"
#include "model/program_image.h"
#include "recording_dialogs.h"

namespace vrx::testing {

// A main window over recorded dialogs, with a folder of its own for the files it opens
// and saves.
class EditorBench {
public:
    // A window as the program opens it: nothing to edit yet.
    std::unique_ptr<MainWindow> makeEmptyWindow(QStringList pictureFolders = {VRX_RESOURCE_DIR}) {
        dialogs = RecordingDialogs{};
        return std::make_unique<MainWindow>(
            EditorSetup{numberedInstruments(128), &dialogs, std::move(pictureFolders)});
    }
    // A window on a new configuration, ready for edits.
    std::unique_ptr<MainWindow> makeWindow(QStringList pictureFolders = {VRX_RESOURCE_DIR}) {
        auto window = makeEmptyWindow(std::move(pictureFolders));
        window->newConfiguration();
        return window;
    }
    QString path(const QString& name) const { return folder.filePath(name); }

    RecordingDialogs dialogs;
    QTemporaryDir folder;
};

// The bytes of a configuration file holding `data`.
inline QByteArray fileOf(const ProgramData& data) {
    return QByteArray::fromStdString(configFileText(encodeProgramData(data)));
}

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

// Shows the window on its pin grid and makes it active, so that focus moves as it does
// for the user.
inline PinGrid* showPinGrid(MainWindow& window) {
    named<QTabWidget>(window, "tabScope")->setCurrentIndex(1);
    window.show();
    if (!QTest::qWaitForWindowActive(&window)) {
        qFatal("the window did not become active");
    }
    return gridOf(window);
}

// Opens the floating drop-down of a cell and picks an entry as the keyboard would,
// leaving the choice floating.
inline QComboBox* pickInCell(PinGrid& grid, int row, int column, int choose) {
    grid.beginCellEdit(row, column);
    QComboBox* box = grid.activeEditor();
    box->hidePopup();
    box->setCurrentIndex(choose);
    return box;
}

// The same, with the choice taken into the configuration.
inline void editPin(const QObject& window, int row, int column, int choose) {
    pickInCell(*gridOf(window), row, column, choose);
    gridOf(window)->commitPendingEdit();
}

// The texts of a grid row from `first` to the last column, joined by "|".
inline QString rowText(const PinGrid& grid, int row, int first = 1) {
    QStringList cells;
    for (int column = first; column <= PinGrid::kSettingColumn; ++column) {
        cells << grid.table()->item(row - 1, column - 1)->text();
    }
    return cells.join('|');
}

}  // namespace vrx::testing
