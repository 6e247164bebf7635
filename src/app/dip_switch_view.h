#pragma once

#include <QWidget>
#include <array>

namespace vrx::app {

// The unit's bank of eight DIP switches, drawn: numbered slots 1 to 8 from left to
// right, an arrow pointing up at the left, and a lever in each slot, up for a clear
// bit and down for a set bit (switch 1 shows bit 0).
class DipSwitchView : public QWidget {
    Q_OBJECT
public:
    enum class Lever { Hidden, Up, Down };
    static constexpr int kSwitches = 8;

    explicit DipSwitchView(QWidget* parent = nullptr);

    void setLevers(const std::array<Lever, kSwitches>& levers);
    const std::array<Lever, kSwitches>& levers() const { return levers_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<Lever, kSwitches> levers_{};
};

}  // namespace vrx::app
