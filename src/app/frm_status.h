#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace vrx::app {

// The small window that reports the progress of a device operation or a file load.
// Closing it stops the MIDI input, which ends an operation still waiting for the unit.
class frmStatus : public QDialog {
    Q_OBJECT
public:
    explicit frmStatus(QWidget* parent = nullptr);

    void setStatusText(const QString& text);
    void appendStatusText(const QString& text);
    QString statusText() const;
    // Unloading forgets the text, so the next use starts empty.
    void unload();

signals:
    // The user closed the window: the MIDI input must stop.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void showNewestLine();

    QPlainTextEdit* txtStatus_;
    QPushButton* cmdClose_;
};

}  // namespace vrx::app
