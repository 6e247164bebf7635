#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "protocol/bytes.h"
#include "protocol/clock.h"
#include "protocol/messages.h"
#include "protocol/response_gatherer.h"
#include "protocol/result.h"

namespace vrx {

// How one kind of exchange went over the rounds of a check.
struct ExchangeTally {
    int asked = 0;
    int answered = 0;    // a whole, undamaged answer came within the wait
    int lost = 0;        // nothing usable came
    int damaged = 0;     // an answer came spoilt
    int duplicated = 0;  // more answers came than were asked for
    std::vector<std::int64_t> roundTripMs;
};

struct ConnectionCheckResult {
    int rounds = 0;
    ExchangeTally identity;  // Identity Request and Reply: short messages
    ExchangeTally reads;     // the DIP-switch program, read whole: long messages
    int readProgram = 0;     // 0 when no identity answer said which
    int echoes = 0;          // requests of ours that came back: a MIDI loop
    std::optional<IdentityReply> unit;
    std::string sendFailure;  // why the output refused a message, empty when it did not
};

// Cheap USB MIDI interfaces that lose or garble long SysEx are a common cause of a unit
// that "does not work". The check asks the unit for its identity and reads its
// DIP-switch program whole, a number of times each, and counts what came back: it
// writes nothing, and the unit does not restart.
class ConnectionCheck {
public:
    // The unit answers an identity request within milliseconds and a read within a
    // third of a second (305 bytes at 31 250 baud): these waits leave room for a slow
    // interface, and the settle time catches an answer that comes twice.
    static constexpr std::int64_t kIdentityWaitMs = 1000;
    static constexpr std::int64_t kReadWaitMs = 2000;
    static constexpr std::int64_t kSettleMs = 150;
    // Before counting, the unit is found: it may still be restarting after the last
    // command (a second), and a new connection may take a moment to carry.
    static constexpr int kFindingTries = 3;

    ConnectionCheck(int rounds, const Clock& clock, std::function<Status(ByteView)> send);

    void start();
    // Every message from the input, as it arrives.
    void onMessage(ByteView message);
    // Often, and at least every 100 ms: ends waits and starts the next round.
    void tick();
    bool finished() const { return phase_ == Phase::kFinished; }
    const ConnectionCheckResult& result() const { return result_; }

private:
    enum class Phase { kIdle, kFinding, kIdentity, kRead, kFinished };
    void ask();
    void endRound();
    void endFinding();
    bool sendOrFinish(ByteView message);
    ExchangeTally& tally() { return phase_ == Phase::kIdentity ? result_.identity : result_.reads; }

    int rounds_;
    const Clock& clock_;
    std::function<Status(ByteView)> send_;
    ConnectionCheckResult result_;
    Phase phase_ = Phase::kIdle;
    int round_ = 0;
    int findingTries_ = 0;
    std::int64_t askedAtMs_ = 0;
    std::optional<std::int64_t> answeredAtMs_;
    bool damagedThisRound_ = false;
    Bytes lastRequest_;
    ResponseGatherer gatherer_;
};

// The verdict in plain words, one line each: the counts, the round-trip times, which
// unit answered on which devices, and what to do about what went wrong.
std::vector<std::string> connectionVerdict(const ConnectionCheckResult& result,
                                           const std::string& devices);
// Whether the verdict found nothing wrong.
bool connectionGood(const ConnectionCheckResult& result);

}  // namespace vrx
