#pragma once

#include <QAbstractTableModel>
#include <QTimer>
#include <QWidget>
#include <deque>

#include "link/traffic_history.h"

class QLabel;
class QPushButton;
class QTableView;

namespace vrx::app {

// The rows the monitor lists: a copy of the history that only moves on when the
// monitor refreshes, so Pause holds the list still while the link goes on recording.
class TrafficTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kTime, kDirection, kLength, kMessage, kHex, kColumns };

    explicit TrafficTableModel(std::size_t capacity, QObject* parent = nullptr)
        : QAbstractTableModel(parent), capacity_(capacity) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Takes in what the history recorded since the last call.
    void catchUp(const TrafficHistory& history);
    void clear();
    const std::deque<TrafficEntry>& entries() const { return rows_; }

private:
    std::size_t capacity_;
    std::deque<TrafficEntry> rows_;
    std::uint64_t lastSerial_ = 0;
};

// Options › "MIDI Monitor": every message in and out, named, with Pause, Clear and Save.
class frmMidiMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 200;

    explicit frmMidiMonitor(TrafficHistory& history, QWidget* parent = nullptr);

    // What Save offers; the file dialog's choice of type picks one.
    enum class SaveFormat { kSyxBoth, kSyxSent, kSyxReceived, kText };
    // Writes the listed messages; false, with a message box, when the file cannot be written.
    bool saveTo(const QString& path, SaveFormat format);

    void refresh();
    TrafficTableModel& model() { return model_; }
    QTableView* table() const { return table_; }
    QPushButton* pauseButton() const { return cmdPause_; }

private:
    void chooseFileAndSave();
    void clearAll();
    void showCount();

    TrafficHistory& history_;
    TrafficTableModel model_;
    QTableView* table_;
    QPushButton* cmdPause_;
    QLabel* lblCount_;
    QTimer refreshTimer_;
};

}  // namespace vrx::app
