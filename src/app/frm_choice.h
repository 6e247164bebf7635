#pragma once

#include <QWidget>

namespace vrx::app {

// The start screen: the two ways in. It stays, hidden, for the whole run.
class frmChoice : public QWidget {
    Q_OBJECT
public:
    explicit frmChoice(QWidget* parent = nullptr);

signals:
    // "Load" (open a saved file) or "New" (load the current settings from the unit).
    void startRequested(const QString& action);
    void exitRequested();
    void helpRequested();

protected:
    void showEvent(QShowEvent* event) override;
    // Closing the start screen's window is leaving, like its Exit button: the program
    // must not run on without a window.
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace vrx::app
