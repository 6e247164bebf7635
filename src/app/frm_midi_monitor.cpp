#include "app/frm_midi_monitor.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "editor/local_path.h"
#include "files/atomic_file.h"
#include "protocol/hex_text.h"

namespace vrx::app {
namespace {

struct SaveChoice {
    const char* filter;
    frmMidiMonitor::SaveFormat format;
};
const std::array<SaveChoice, 4> kSaveChoices = {{
    {"SysEx, sent and received (*.syx)", frmMidiMonitor::SaveFormat::kSyxBoth},
    {"SysEx, sent only (*.syx)", frmMidiMonitor::SaveFormat::kSyxSent},
    {"SysEx, received only (*.syx)", frmMidiMonitor::SaveFormat::kSyxReceived},
    {"Text (*.txt)", frmMidiMonitor::SaveFormat::kText},
}};

std::string fileContents(const std::deque<TrafficEntry>& entries,
                         frmMidiMonitor::SaveFormat format) {
    using Format = frmMidiMonitor::SaveFormat;
    if (format == Format::kText) {
        return trafficText(entries);
    }
    const auto selection = format == Format::kSyxSent       ? TrafficSelection::kSent
                           : format == Format::kSyxReceived ? TrafficSelection::kReceived
                                                            : TrafficSelection::kBoth;
    const auto syx = trafficSyx(entries, selection);
    return std::string(syx.begin(), syx.end());
}

}  // namespace

int TrafficTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TrafficTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant TrafficTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto& entry = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && (index.column() == kTime || index.column() == kLength)) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::FontRole && index.column() == kHex) {
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    // A long message does not fit its cell: the whole of it shows on hovering.
    if (role == Qt::ToolTipRole && (index.column() == kHex || index.column() == kMessage)) {
        return data(index, Qt::DisplayRole);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case kTime:
            return QString::number(entry.timeMs);
        case kDirection:
            return QString::fromUtf8(directionText(entry.direction).data());
        case kLength:
            return QString::number(entry.bytes.size());
        case kMessage:
            return QString::fromStdString(entry.name);
        case kHex:
            return QString::fromStdString(bytesToHexText(entry.bytes)).trimmed();
        default:
            return {};
    }
}

QVariant TrafficTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const std::array<const char*, kColumns> kHeaders = {"Time (ms)", "Dir", "Bytes",
                                                               "Message", "Hex"};
    return tr(kHeaders.at(static_cast<std::size_t>(section)));
}

void TrafficTableModel::catchUp(const TrafficHistory& history) {
    std::vector<const TrafficEntry*> fresh;
    for (const auto& entry : history.entries()) {
        if (entry.serial > lastSerial_) {
            fresh.push_back(&entry);
        }
    }
    if (fresh.empty()) {
        return;
    }
    lastSerial_ = fresh.back()->serial;
    const auto keep = capacity_ - std::min(capacity_, fresh.size());
    if (rows_.size() > keep) {
        const int drop = static_cast<int>(rows_.size() - keep);
        beginRemoveRows({}, 0, drop - 1);
        rows_.erase(rows_.begin(), rows_.begin() + drop);
        endRemoveRows();
    }
    if (fresh.size() > capacity_) {
        fresh.erase(fresh.begin(), fresh.end() - static_cast<long>(capacity_));
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(fresh.size()) - 1);
    for (const auto* entry : fresh) {
        rows_.push_back(*entry);
    }
    endInsertRows();
}

void TrafficTableModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

frmMidiMonitor::frmMidiMonitor(TrafficHistory& history, QWidget* parent)
    : QWidget(parent, Qt::Window),
      history_(history),
      model_(TrafficHistory::kDefaultCapacity, this) {
    setObjectName(QStringLiteral("frmMidiMonitor"));
    setWindowTitle(tr("MIDI Monitor"));

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("tblTraffic"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    auto* header = table_->horizontalHeader();
    header->setStretchLastSection(true);
    const int digit = table_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    table_->setColumnWidth(TrafficTableModel::kTime, 10 * digit);
    table_->setColumnWidth(TrafficTableModel::kDirection, 5 * digit);
    table_->setColumnWidth(TrafficTableModel::kLength, 6 * digit);
    table_->setColumnWidth(TrafficTableModel::kMessage, 66 * digit);

    cmdPause_ = new QPushButton(tr("&Pause"), this);
    cmdPause_->setObjectName(QStringLiteral("cmdPause"));
    cmdPause_->setCheckable(true);
    auto* cmdClear = new QPushButton(tr("&Clear"), this);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    auto* cmdSave = new QPushButton(tr("&Save..."), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    lblCount_ = new QLabel(this);
    lblCount_->setObjectName(QStringLiteral("lblCount"));

    connect(cmdPause_, &QPushButton::toggled, this, [this](bool paused) {
        if (!paused) {
            refresh();
        }
        showCount();
    });
    connect(cmdClear, &QPushButton::clicked, this, &frmMidiMonitor::clearAll);
    connect(cmdSave, &QPushButton::clicked, this, &frmMidiMonitor::chooseFileAndSave);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdPause_);
    buttons->addWidget(cmdClear);
    buttons->addWidget(cmdSave);
    buttons->addStretch(1);
    buttons->addWidget(lblCount_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    resize(150 * digit, 32 * table_->verticalHeader()->defaultSectionSize());

    refreshTimer_.setInterval(kRefreshMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &frmMidiMonitor::refresh);
    refreshTimer_.start();
    refresh();
}

void frmMidiMonitor::refresh() {
    if (cmdPause_->isChecked()) {
        return;
    }
    // The list follows the newest message unless the user has scrolled up to read.
    auto* bar = table_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const auto before = model_.rowCount();
    model_.catchUp(history_);
    if (atEnd && model_.rowCount() != before) {
        table_->scrollToBottom();
    }
    showCount();
}

void frmMidiMonitor::showCount() {
    QString text = tr("%n message(s)", nullptr, model_.rowCount());
    if (cmdPause_->isChecked()) {
        text = tr("Paused, %1").arg(text);
    }
    lblCount_->setText(text);
}

void frmMidiMonitor::clearAll() {
    history_.clear();
    model_.clear();
    showCount();
}

void frmMidiMonitor::chooseFileAndSave() {
    QStringList filters;
    for (const auto& choice : kSaveChoices) {
        filters << tr(choice.filter);
    }
    QString chosenFilter;
    QString path = QFileDialog::getSaveFileName(this, tr("Save MIDI Traffic"), QString(),
                                                filters.join(QStringLiteral(";;")), &chosenFilter);
    if (path.isEmpty()) {
        return;
    }
    const auto chosen =
        static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(chosenFilter)));
    const auto format = kSaveChoices.at(chosen).format;
    const QString suffix =
        format == SaveFormat::kText ? QStringLiteral(".txt") : QStringLiteral(".syx");
    if (QFileInfo(path).suffix().isEmpty()) {
        path += suffix;
    }
    saveTo(path, format);
}

bool frmMidiMonitor::saveTo(const QString& path, SaveFormat format) {
    const auto written =
        writeFileAtomically(localPath(path), fileContents(model_.entries(), format));
    if (!written) {
        QMessageBox::warning(
            this, windowTitle(),
            tr("%1 could not be written: %2").arg(path, QString::fromStdString(written.error())));
        return false;
    }
    return true;
}

}  // namespace vrx::app
