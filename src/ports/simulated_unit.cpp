#include "ports/simulated_unit.h"

#include <algorithm>
#include <utility>

#include "model/program_data.h"
#include "model/program_image.h"
#include "model/vocabulary.h"
#include "protocol/messages.h"
#include "protocol/seven_bit.h"

namespace vrx {
namespace {

constexpr std::size_t kRequestBytes = 14;
constexpr std::size_t kAddressAt = 8;  // 0-based: three address bytes, then two count bytes
constexpr std::size_t kCountAt = 11;
constexpr std::uint8_t kFamilyLow = 0x01;
constexpr std::uint8_t kHighBit = 0x80;
constexpr std::uint8_t kBlankByte = 0xFF;
constexpr std::int64_t kUsPerMs = 1000;
constexpr std::uint8_t kActiveSensing = 0xFE;
constexpr std::uint8_t kClock = 0xF8;
// Strays come after one message in this many, up to kStrayLatestMs later.
constexpr int kStrayOdds = 4;
constexpr int kStrayLatestMs = 1500;

unsigned sevenBitNumber(ByteView bytes) {
    unsigned value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 7) | (bytes[i] & 0x7F);
    }
    return value;
}

Bytes programResponse(std::uint8_t device, unsigned address, ByteView raw) {
    Bytes m = messageConstants().manufacturerHeader;
    m.push_back(device);
    const auto& command = messageConstants().cmdProgramResponse;
    m.insert(m.end(), command.begin(), command.end());
    const auto addr = encodeAddress7(address, 3);
    m.insert(m.end(), addr.begin(), addr.end());
    const auto packed = packSevenBit(raw);
    m.insert(m.end(), packed.begin(), packed.end());
    m.push_back(kSysexEnd);
    return m;
}

std::uint8_t low7(int value) {
    return static_cast<std::uint8_t>(value & 0x7F);
}
std::uint8_t high7(int value) {
    return static_cast<std::uint8_t>((value >> 7) & 0x7F);
}

}  // namespace

SimulatedUnit::SimulatedUnit(const Clock& clock, SimulatedUnitSettings settings)
    : clock_(clock), settings_(settings) {
    for (int p = 1; p <= settings_.programCount; ++p) {
        setProgram(p, plausibleProgramData(p, settings_.formatByte));
    }
}

bool SimulatedUnit::addressedToMe(std::uint8_t device) const {
    return device == settings_.deviceByte || device == kAllDevices;
}

bool SimulatedUnit::answerRequest() {
    ++requestCount_;
    if (faults_.silent) {
        return false;
    }
    if (faults_.ignoredRequests > 0) {
        --faults_.ignoredRequests;
        return false;
    }
    return true;
}

bool SimulatedUnit::cableCarriesNextMessage() {
    ++messagesOffered_;
    const auto& failsAfter = settings_.behaviour.outputFailsAfter;
    return !failsAfter || messagesOffered_ <= *failsAfter;
}

void SimulatedUnit::receive(ByteView message) {
    const std::int64_t nowUs = clock_.nowMs() * kUsPerMs;
    const std::int64_t startUs = std::max(nowUs, toUnitFreeUs_);
    const std::int64_t arrivedUs = startUs + wireTimeUs(message.size());
    toUnitFreeUs_ = arrivedUs;
    received_.emplace_back(message.begin(), message.end());
    receivedAtMs_.push_back(clock_.nowMs());
    maybeSendStray(arrivedUs);
    if (faults_.echo) {
        send(Bytes(message.begin(), message.end()), arrivedUs);
    }
    if (arrivedUs < deafUntilUs_) {
        ++unheardCount_;
        return;
    }
    if (isIdentityRequest(message)) {
        if (message.size() > 2 && addressedToMe(message[2]) && answerRequest()) {
            answerIdentity(arrivedUs);
        }
        return;
    }
    if (!isManufacturerMessage(message) || message.size() < 9 || !addressedToMe(message[4])) {
        return;
    }
    const auto& constants = messageConstants();
    const auto command = message.subspan(5, 3);
    if (std::ranges::equal(command, constants.cmdProgramRequest)) {
        if (message.size() >= kRequestBytes && answerRequest()) {
            answerProgramRequest(message, arrivedUs);
        }
    } else if (std::ranges::equal(command, constants.cmdProgramUpdate)) {
        storeUpdate(message, arrivedUs);
    } else if (std::ranges::equal(command, constants.cmdReboot)) {
        noteReboot(arrivedUs);
    }
}

void SimulatedUnit::noteReboot(std::int64_t arrivedUs) {
    ++rebootCount_;
    if (settings_.behaviour.deafAfterReboot) {
        deafUntilUs_ = arrivedUs + kRebootDeafMs * kUsPerMs;
    }
    if (settings_.behaviour.silentAfterReboot == rebootCount_) {
        faults_.silent = true;
    }
}

bool SimulatedUnit::storeUpdate(ByteView message, std::int64_t arrivedUs) {
    const auto previousUs = std::exchange(lastUpdateUs_, arrivedUs);
    if (++updatesReceived_ == settings_.behaviour.droppedUpdate) {
        droppedUpdates_.emplace_back(message.begin(), message.end());
        return false;
    }
    if (settings_.behaviour.strictPacing && previousUs &&
        arrivedUs - *previousUs < kUpdateSpacingMs * kUsPerMs) {
        // Still storing the previous block.
        droppedUpdates_.emplace_back(message.begin(), message.end());
        return false;
    }
    const auto block = parseProgramUpdate(message);
    if (!block) {
        return false;
    }
    for (std::size_t i = 0; i < block->data.size(); ++i) {
        const std::size_t at = block->address + i;
        if (at >= memory_.size()) {
            memory_.resize(at + 1, kBlankByte);
        }
        memory_[at] = block->data[i];
    }
    if (programStored_ && !block->data.empty()) {
        const auto first = block->address / kProgramBytes;
        const auto last = (block->address + block->data.size() - 1) / kProgramBytes;
        for (auto page = first; page <= last; ++page) {
            programStored_(static_cast<int>(page) + 1);
        }
    }
    return true;
}

void SimulatedUnit::send(Bytes message, std::int64_t readyUs) {
    const std::int64_t startUs = std::max(readyUs, fromUnitFreeUs_);
    std::int64_t arrivalUs = startUs + wireTimeUs(message.size());
    if (settings_.behaviour.lineNoise) {
        // Active sensing ahead of the message, a clock byte in its middle.
        putInFlight(Bytes{kActiveSensing}, startUs + wireTimeUs(1));
        if (message.size() > 2 && message.front() == kSysexStart) {
            message.insert(message.begin() + static_cast<long>(message.size() / 2), kClock);
        }
        noiseBytesSent_ += 2;
        arrivalUs += wireTimeUs(2);
    }
    fromUnitFreeUs_ = arrivalUs;
    putInFlight(std::move(message), arrivalUs);
}

// The messages in flight stay in the order they arrive in.
void SimulatedUnit::putInFlight(Bytes message, std::int64_t arrivalUs) {
    const auto later = std::ranges::find_if(
        inFlight_, [arrivalUs](const InFlight& m) { return m.arrivalUs > arrivalUs; });
    inFlight_.insert(later, {arrivalUs, std::move(message)});
}

void SimulatedUnit::sendAnswer(Bytes message, std::int64_t readyUs) {
    ++answersSent_;
    const auto& behaviour = settings_.behaviour;
    if (behaviour.lostAnswer == answersSent_) {
        return;
    }
    if (behaviour.damagedAnswer == answersSent_ && message.size() > kResponseHeaderBytes + 2) {
        message[kResponseHeaderBytes + 1] |= kHighBit;
    }
    if (behaviour.lateAnswer && behaviour.lateAnswer->answer == answersSent_) {
        const std::int64_t onTimeUs =
            std::max(readyUs, fromUnitFreeUs_) + wireTimeUs(message.size());
        putInFlight(std::move(message), onTimeUs + behaviour.lateAnswer->delayMs * kUsPerMs);
        return;
    }
    send(std::move(message), readyUs);
}

void SimulatedUnit::maybeSendStray(std::int64_t afterUs) {
    if (!settings_.behaviour.strayReplies) {
        return;
    }
    if (!strays_) {
        strays_.emplace(settings_.behaviour.straySeed);
    }
    auto& random = *strays_;
    if (std::uniform_int_distribution<int>(1, kStrayOdds)(random) != 1) {
        return;
    }
    const std::int64_t atUs =
        afterUs + std::uniform_int_distribution<std::int64_t>(0, kStrayLatestMs)(random) * kUsPerMs;
    // One stray in kStrayOdds is an identity reply, the others programs.
    if (std::uniform_int_distribution<int>(1, kStrayOdds)(random) == 1) {
        putInFlight(identityReply(), atUs);
        return;
    }
    const int program = std::uniform_int_distribution<int>(1, settings_.programCount)(random);
    const unsigned address = pageAddress(static_cast<unsigned>(program - 1));
    putInFlight(
        programResponse(settings_.deviceByte, address, readMemory(address, kProgramBytes)), atUs);
}

Bytes SimulatedUnit::identityReply() const {
    const int dipValue = settings_.dipSwitchProgram - 1;
    Bytes m = {kSysexStart, 0x7E, settings_.deviceByte, 0x06, 0x02};
    const auto& header = messageConstants().manufacturerHeader;
    m.insert(m.end(), header.begin() + 1, header.end());
    m.push_back(kFamilyLow);
    m.push_back(0x00);
    m.push_back(settings_.firmwareMajor);
    m.push_back(settings_.firmwareMinor);
    m.push_back(settings_.firmwareYear);
    m.push_back(settings_.firmwareMonth);
    m.push_back(settings_.firmwareDay);
    m.push_back(0x00);
    m.push_back(low7(dipValue));
    m.push_back(high7(dipValue));
    m.push_back(low7(settings_.programCount));
    m.push_back(high7(settings_.programCount));
    m.push_back(settings_.formatByte);
    m.push_back(kSysexEnd);
    return m;
}

void SimulatedUnit::answerIdentity(std::int64_t readyUs) {
    sendAnswer(identityReply(), readyUs);
}

Bytes SimulatedUnit::readMemory(unsigned address, unsigned count) const {
    Bytes data(count, kBlankByte);
    for (unsigned i = 0; i < count && address + i < memory_.size(); ++i) {
        data[i] = memory_[address + i];
    }
    return data;
}

void SimulatedUnit::answerProgramRequest(ByteView request, std::int64_t readyUs) {
    const unsigned address = sevenBitNumber(request.subspan(kAddressAt, 3));
    const unsigned count = sevenBitNumber(request.subspan(kCountAt, 2));
    const Bytes data = readMemory(address, count);
    const int parts = std::clamp(settings_.responseParts, 1, 8);
    const std::size_t partBytes =
        (data.size() + static_cast<std::size_t>(parts) - 1) / static_cast<std::size_t>(parts);
    std::vector<Bytes> responses;
    for (std::size_t at = 0; at < data.size(); at += partBytes) {
        const std::size_t n = std::min(partBytes, data.size() - at);
        responses.push_back(programResponse(settings_.deviceByte,
                                            address + static_cast<unsigned>(at),
                                            ByteView(data).subspan(at, n)));
    }
    if (faults_.corruptedBytes > 0 && !responses.empty()) {
        auto& first = responses.front();
        for (int k = 0; k < faults_.corruptedBytes; ++k) {
            const std::size_t at = kResponseHeaderBytes + 1 + 2 * static_cast<std::size_t>(k);
            if (at + 1 < first.size()) {
                first[at] |= kHighBit;
            }
        }
        faults_.corruptedBytes = 0;
    }
    if (faults_.truncateTo && !responses.empty()) {
        auto& first = responses.front();
        const std::size_t keep = std::max<std::size_t>(*faults_.truncateTo, 1);
        if (keep < first.size()) {
            first.resize(keep - 1);
            first.push_back(kSysexEnd);
        }
        faults_.truncateTo.reset();
    }
    if (faults_.loseLastPart && !responses.empty()) {
        responses.pop_back();
        faults_.loseLastPart = false;
    }
    for (auto& response : responses) {
        sendAnswer(std::move(response), readyUs);
    }
}

std::vector<Bytes> SimulatedUnit::takeArrived() {
    const std::int64_t nowUs = clock_.nowMs() * kUsPerMs;
    std::vector<Bytes> arrived;
    while (!inFlight_.empty() && inFlight_.front().arrivalUs <= nowUs) {
        arrived.push_back(std::move(inFlight_.front().message));
        inFlight_.pop_front();
    }
    return arrived;
}

std::optional<std::int64_t> SimulatedUnit::nextArrivalMs() const {
    if (inFlight_.empty()) {
        return std::nullopt;
    }
    return (inFlight_.front().arrivalUs + kUsPerMs - 1) / kUsPerMs;
}

Bytes SimulatedUnit::program(int number) const {
    return readMemory(pageAddress(static_cast<unsigned>(number - 1)), kProgramBytes);
}

void SimulatedUnit::setProgram(int number, ByteView data) {
    const std::size_t at = pageAddress(static_cast<unsigned>(number - 1));
    if (memory_.size() < at + kProgramBytes) {
        memory_.resize(at + kProgramBytes, kBlankByte);
    }
    std::copy_n(data.begin(), std::min<std::size_t>(data.size(), kProgramBytes),
                memory_.begin() + static_cast<long>(at));
}

Bytes plausibleProgramData(int programNumber, std::uint8_t formatByte) {
    ProgramData data;
    const int p = programNumber;
    const auto keyboards = static_cast<int>(keyboardNames().size());
    const auto analogs = static_cast<int>(analogInputNames().size());
    for (int c = 0; c < kMidiChannels; ++c) {
        auto& channel = data.channels[static_cast<std::size_t>(c)];
        // The four manuals and the pedal on the first channels, the rest mostly unused.
        channel.inputKeyboard = c < 4 ? (c + p - 1) % (keyboards - 1) + 1 : (c * p) % keyboards;
        channel.analogInput = (c + p) % 3 == 0 ? (c + p) % analogs : 0;
        channel.controllerType = (c + p) % 4 == 0 ? 1 : 0;
        channel.keyOffset = ((c + p) % 5 - 2) * 12;
    }
    data.archiveAnalogInput = p % static_cast<int>(tuningInputNames().size());
    data.archiveMidiChannel = p % kMidiChannels;
    data.tuningInput = (p + 1) % static_cast<int>(tuningInputNames().size());
    for (int k = 0; k < kTuningOptions; ++k) {
        data.tuningOptions[static_cast<std::size_t>(k)] = ((p >> k) & 1) != 0;
    }
    const auto instruments = fallbackInstrumentNames();
    // Stops on most pins, a few pistons and couplers, the last rows left free; which
    // function a row gets shifts from program to program.
    const int assignedRows = 60 + (p * 7) % 40;
    for (int row = 1; row <= assignedRows; ++row) {
        auto& pin = data.pins[static_cast<std::size_t>(row - 1)];
        const int function = 1 + (row + p) % (kPinFunctionCount - 1);
        pin.pinFunction = function;
        pin.pinMidiChannel = usesChannelAndSetting(function) ? (row / 8 + p) % kMidiChannels : 0;
        const auto settings = static_cast<int>(settingNames(function, instruments).size());
        pin.pinSubFunction = settings > 0 ? (row * 3 + p) % settings : 0;
    }
    auto image = encodeProgramData(data, formatByte);
    image.resize(kProgramBytes);
    return image;
}

}  // namespace vrx
