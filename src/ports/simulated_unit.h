#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <random>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/clock.h"

namespace vrx {

// How strict the simulated unit is, and what goes wrong with it. The tests, vrxtool's
// --simulator-fault and the program's --simulator all set the same options.
struct SimulatedBehaviour {
    // A real unit is still storing the previous block: a PROGRAM_UPDATE that arrives
    // less than kUpdateSpacingMs after the previous one is dropped (and recorded).
    bool strictPacing = true;
    // After VRX_REBOOT the unit restarts and hears nothing for kRebootDeafMs.
    bool deafAfterReboot = true;
    // Active sensing (FE) before each of its messages and a clock byte (F8) inside each
    // SysEx message, as a busy MIDI line carries them.
    bool lineNoise = false;
    // The program's output fails after carrying this many messages (the cable pulled).
    std::optional<int> outputFailsAfter;
    // The K-th message the unit sends (from 1, identity replies and responses alike)
    // never arrives, or arrives with one data byte damaged (bit 7 set).
    std::optional<int> lostAnswer;
    std::optional<int> damagedAnswer;
    // The N-th PROGRAM_UPDATE it receives (from 1) is dropped, as one that came too soon.
    std::optional<int> droppedUpdate;
    // The K-th message the unit sends arrives this much later than it would; the messages
    // after it are not held up by it.
    struct LateAnswer {
        int answer = 0;
        std::int64_t delayMs = 0;
    };
    std::optional<LateAnswer> lateAnswer;
    // After its N-th VRX_REBOOT (from 1) the unit answers nothing (switched off, say).
    std::optional<int> silentAfterReboot;
    // Another unit shares the cable: now and then, after a message reaches the unit, an
    // Identity Reply nobody asked for or a PROGRAM_RESPONSE of some program arrives at a
    // random later time. The seed makes the times repeatable.
    bool strayReplies = false;
    std::uint32_t straySeed = 1;
};

// How the simulated unit introduces itself.
struct SimulatedUnitSettings {
    std::uint8_t firmwareMajor = 1;
    std::uint8_t firmwareMinor = 5;
    std::uint8_t firmwareYear = 9;  // years after 2000
    std::uint8_t firmwareMonth = 12;
    std::uint8_t firmwareDay = 31;
    int dipSwitchProgram = 1;  // from 1
    int programCount = 16;
    std::uint8_t formatByte = 18;
    std::uint8_t deviceByte = 0;
    int responseParts = 1;  // a PROGRAM_RESPONSE is split into 1, 2, 4 or 8 messages
    SimulatedBehaviour behaviour;
};

// Faults for tests. The one-shot ones apply to the next response and then clear.
struct SimulatedFaults {
    bool silent = false;                    // answers nothing
    int ignoredRequests = 0;                // requests that go unanswered before the unit answers
    int corruptedBytes = 0;                 // payload bytes of the next response that get bit 7 set
    bool loseLastPart = false;              // the next response's last message never arrives
    std::optional<std::size_t> truncateTo;  // the next response's first message, cut short
    bool echo = false;  // everything the unit receives comes back too (a MIDI loop)
};

// A VRX unit at the far end of a MIDI cable: it answers the Identity Request and
// PROGRAM_REQUEST, stores PROGRAM_UPDATE data, and its answers arrive after the time
// their bytes take at 31 250 baud.
class SimulatedUnit {
public:
    static constexpr std::int64_t kBaud = 31250;
    static constexpr std::int64_t kBitsPerByte = 10;  // start, eight data bits, stop
    static constexpr std::int64_t kUpdateSpacingMs = 550;
    static constexpr std::int64_t kRebootDeafMs = 1000;

    explicit SimulatedUnit(const Clock& clock, SimulatedUnitSettings settings = {});

    SimulatedUnitSettings& settings() { return settings_; }
    SimulatedFaults& faults() { return faults_; }
    // Called with a program's number (from 1) each time a PROGRAM_UPDATE changed it.
    void setProgramStoredHandler(std::function<void(int)> handler) {
        programStored_ = std::move(handler);
    }

    // A message the program starts sending now.
    void receive(ByteView message);
    // Whether the program's output still reaches the unit; counts the message offered.
    bool cableCarriesNextMessage();
    // Answers whose last byte has arrived by now, in the order they were sent.
    std::vector<Bytes> takeArrived();
    std::optional<std::int64_t> nextArrivalMs() const;

    const std::vector<Bytes>& received() const { return received_; }
    // When each received message began to arrive, in ms.
    const std::vector<std::int64_t>& receivedAtMs() const { return receivedAtMs_; }
    int rebootCount() const { return rebootCount_; }
    int requestCount() const { return requestCount_; }
    // PROGRAM_UPDATE messages that came too soon after the previous one.
    const std::vector<Bytes>& droppedUpdates() const { return droppedUpdates_; }
    // Messages that came while the unit restarted.
    int unheardCount() const { return unheardCount_; }
    int noiseBytesSent() const { return noiseBytesSent_; }
    // The 256 bytes of a program (from 1), as the unit holds them.
    Bytes program(int number) const;
    void setProgram(int number, ByteView data);

    static std::int64_t wireTimeUs(std::size_t bytes) {
        return static_cast<std::int64_t>(bytes) * kBitsPerByte * 1'000'000 / kBaud;
    }

private:
    bool addressedToMe(std::uint8_t device) const;
    bool answerRequest();  // false while requests are still being ignored
    void send(Bytes message, std::int64_t readyUs);
    // Puts a message in flight to arrive then, among the others by arrival time.
    void putInFlight(Bytes message, std::int64_t arrivalUs);
    void maybeSendStray(std::int64_t afterUs);
    void noteReboot(std::int64_t arrivedUs);
    void sendAnswer(Bytes message, std::int64_t readyUs);
    bool storeUpdate(ByteView message, std::int64_t arrivedUs);
    void answerIdentity(std::int64_t readyUs);
    void answerProgramRequest(ByteView request, std::int64_t readyUs);
    Bytes identityReply() const;
    Bytes readMemory(unsigned address, unsigned count) const;

    struct InFlight {
        std::int64_t arrivalUs;
        Bytes message;
    };

    const Clock& clock_;
    SimulatedUnitSettings settings_;
    SimulatedFaults faults_;
    Bytes memory_;
    std::vector<Bytes> received_;
    std::vector<std::int64_t> receivedAtMs_;
    std::deque<InFlight> inFlight_;
    std::int64_t toUnitFreeUs_ = 0;    // the cable into the unit is busy until then
    std::int64_t fromUnitFreeUs_ = 0;  // and the cable back
    int rebootCount_ = 0;
    int requestCount_ = 0;
    std::vector<Bytes> droppedUpdates_;
    int updatesReceived_ = 0;
    std::optional<std::int64_t> lastUpdateUs_;
    std::int64_t deafUntilUs_ = 0;
    int unheardCount_ = 0;
    int answersSent_ = 0;
    int messagesOffered_ = 0;
    int noiseBytesSent_ = 0;
    std::function<void(int)> programStored_;
    std::optional<std::mt19937> strays_;  // seeded when the first stray is due
};

// What a freshly delivered unit holds in a program: a varied, plausible configuration
// (keyboards on channels, stops, couplers and pistons on pins), so a load shows something.
Bytes plausibleProgramData(int programNumber, std::uint8_t formatByte);

}  // namespace vrx
