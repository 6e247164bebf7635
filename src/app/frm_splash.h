#pragma once

#include <QTimer>
#include <QWidget>

namespace vrx::app {

// The first window: picture, name and version, for 3.5 s or until a click or a key.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 3500;

    explicit frmSplash(QWidget* parent = nullptr);

signals:
    // Raised once, when the splash has closed.
    void finished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void finish();

    QTimer Timer1_;
    bool finished_ = false;
};

// "Version 1.5.2": major, minor and revision without leading zeros.
QString versionLabelText();

}  // namespace vrx::app
