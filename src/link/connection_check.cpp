#include "link/connection_check.h"

#include <algorithm>

namespace vrx {
namespace {

// A SysEx message whose bytes between F0 and F7 are all data bytes, as sent.
bool wellFramed(ByteView message) {
    return message.size() >= 2 && message.front() == kSysexStart && message.back() == kSysexEnd &&
           std::all_of(message.begin() + 1, message.end() - 1,
                       [](std::uint8_t byte) { return byte < 0x80; });
}

std::int64_t median(std::vector<std::int64_t> times) {
    std::ranges::sort(times);
    return times.empty() ? 0 : times[times.size() / 2];
}

std::string tallyLine(const std::string& what, const ExchangeTally& tally) {
    std::string line = what + ": " + std::to_string(tally.asked) + " asked, " +
                       std::to_string(tally.answered) + " answered, " + std::to_string(tally.lost) +
                       " lost, " + std::to_string(tally.damaged) + " damaged, " +
                       std::to_string(tally.duplicated) + " duplicated";
    if (!tally.roundTripMs.empty()) {
        line += "; round trip " + std::to_string(median(tally.roundTripMs)) + " ms median, " +
                std::to_string(std::ranges::max(tally.roundTripMs)) + " ms worst";
    }
    return line + ".";
}

std::string countOf(int part, int whole) {
    return std::to_string(part) + " of " + std::to_string(whole);
}

}  // namespace

ConnectionCheck::ConnectionCheck(int rounds, const Clock& clock,
                                 std::function<Status(ByteView)> send)
    : rounds_(rounds), clock_(clock), send_(std::move(send)) {
    result_.rounds = rounds;
}

void ConnectionCheck::start() {
    // The unit listens for requests once it has been greeted, as a load does.
    if (!sendOrFinish(tagMessage())) {
        return;
    }
    phase_ = Phase::kFinding;
    findingTries_ = 1;
    askedAtMs_ = clock_.nowMs();
    sendOrFinish(identityRequest());
}

void ConnectionCheck::endFinding() {
    if (result_.unit && rounds_ > 0) {
        phase_ = Phase::kIdentity;
        round_ = 0;
        ask();
    } else if (!result_.unit && findingTries_ < kFindingTries) {
        ++findingTries_;
        askedAtMs_ = clock_.nowMs();
        sendOrFinish(identityRequest());
    } else {
        phase_ = Phase::kFinished;
    }
}

bool ConnectionCheck::sendOrFinish(ByteView message) {
    if (auto sent = send_(message); !sent) {
        result_.sendFailure = sent.error();
        phase_ = Phase::kFinished;
        return false;
    }
    lastRequest_.assign(message.begin(), message.end());
    return true;
}

void ConnectionCheck::ask() {
    if (phase_ == Phase::kFinished) {
        return;
    }
    answeredAtMs_.reset();
    damagedThisRound_ = false;
    askedAtMs_ = clock_.nowMs();
    auto& counts = tally();
    gatherer_.restart();
    if (sendOrFinish(phase_ == Phase::kIdentity
                         ? identityRequest()
                         : programRequest(0, static_cast<unsigned>(result_.readProgram - 1)))) {
        ++counts.asked;
    }
}

void ConnectionCheck::onMessage(ByteView message) {
    if (phase_ == Phase::kFinding && !result_.unit) {
        if (isIdentityReply(message) && wellFramed(message)) {
            result_.unit = parseIdentityReply(message);
        }
        return;
    }
    if (phase_ != Phase::kIdentity && phase_ != Phase::kRead) {
        return;
    }
    // Clock and active sensing on the line are no part of an answer.
    if (message.empty() || message.front() != kSysexStart) {
        return;
    }
    if (std::ranges::equal(message, lastRequest_)) {
        ++result_.echoes;
        return;
    }
    // An identity answer while a read is asked for came late, or from another device.
    if (phase_ == Phase::kRead && isIdentityReply(message)) {
        ++result_.identity.duplicated;
        return;
    }
    auto& counts = tally();
    const bool mine =
        phase_ == Phase::kIdentity ? isIdentityReply(message) : isProgramResponse(message);
    if (!mine) {
        // Another kind of message, or one so spoilt it cannot be told apart.
        if (!wellFramed(message)) {
            damagedThisRound_ = true;
        }
        return;
    }
    if (answeredAtMs_) {
        ++counts.duplicated;
        return;
    }
    if (phase_ == Phase::kIdentity) {
        const auto reply = parseIdentityReply(message);
        if (!wellFramed(message) || !reply) {
            damagedThisRound_ = true;
            return;
        }
        result_.unit = reply;
        answeredAtMs_ = clock_.nowMs();
        counts.roundTripMs.push_back(*answeredAtMs_ - askedAtMs_);
        return;
    }
    if (!gatherer_.append(message).badPositions.empty() || !wellFramed(message)) {
        damagedThisRound_ = true;
    }
    if (gatherer_.complete()) {
        answeredAtMs_ = clock_.nowMs();
        if (!damagedThisRound_) {
            counts.roundTripMs.push_back(*answeredAtMs_ - askedAtMs_);
        }
    }
}

void ConnectionCheck::tick() {
    const std::int64_t now = clock_.nowMs();
    if (phase_ == Phase::kFinding) {
        // Once found, what else that exchange brings is left to settle.
        if (now - askedAtMs_ >= (result_.unit ? kSettleMs : kIdentityWaitMs)) {
            endFinding();
        }
        return;
    }
    if (phase_ != Phase::kIdentity && phase_ != Phase::kRead) {
        return;
    }
    const std::int64_t wait = phase_ == Phase::kIdentity ? kIdentityWaitMs : kReadWaitMs;
    if ((answeredAtMs_ && now - *answeredAtMs_ >= kSettleMs) || now - askedAtMs_ >= wait) {
        endRound();
    }
}

void ConnectionCheck::endRound() {
    auto& counts = tally();
    if (damagedThisRound_) {
        ++counts.damaged;
    } else if (answeredAtMs_) {
        ++counts.answered;
    } else {
        ++counts.lost;
    }
    if (++round_ < rounds_) {
        ask();
        return;
    }
    // The reads of the program the unit's switches select.
    if (phase_ == Phase::kIdentity) {
        result_.readProgram = result_.unit->dipSwitchProgram;
        phase_ = Phase::kRead;
        round_ = 0;
        ask();
        return;
    }
    phase_ = Phase::kFinished;
}

bool connectionGood(const ConnectionCheckResult& result) {
    const auto clean = [&](const ExchangeTally& tally) {
        return tally.answered == result.rounds && tally.duplicated == 0;
    };
    return result.sendFailure.empty() && result.echoes == 0 && clean(result.identity) &&
           clean(result.reads);
}

std::vector<std::string> connectionVerdict(const ConnectionCheckResult& result,
                                           const std::string& devices) {
    std::vector<std::string> lines;
    lines.push_back(tallyLine("Identity exchanges (short messages)", result.identity));
    if (result.readProgram > 0) {
        lines.push_back(
            tallyLine("Reads of program " + std::to_string(result.readProgram) + " (long messages)",
                      result.reads));
    }
    if (result.unit) {
        lines.push_back(
            "Answered by a VRX with firmware " + result.unit->firmwareVersionText +
            ", DIP switches on program " + std::to_string(result.unit->dipSwitchProgram) + ", " +
            std::to_string(result.unit->programCount) + " programs, through " + devices + ".");
    }
    if (!result.sendFailure.empty()) {
        lines.push_back("The MIDI output failed: " + result.sendFailure);
        return lines;
    }
    if (result.echoes > 0) {
        lines.push_back(countOf(result.echoes, result.identity.asked + result.reads.asked) +
                        " requests came back to the program: there is a MIDI loop (a MIDI "
                        "Thru cable, or software that routes the output back to the input). "
                        "Remove it.");
    }
    if (!result.unit) {
        lines.push_back("The VRX did not answer through " + devices +
                        ". Check that it is switched on, that the computer's MIDI Out goes to "
                        "the VRX's MIDI In and the VRX's MIDI Out to the computer's MIDI In, "
                        "and that these are the devices the VRX is connected to.");
        return lines;
    }
    const auto& reads = result.reads;
    if (reads.damaged > 0) {
        lines.push_back(countOf(reads.damaged, reads.asked) +
                        " long messages arrived damaged: this MIDI interface is unreliable "
                        "with SysEx; try another.");
    }
    if (reads.lost > 0) {
        lines.push_back(countOf(reads.lost, reads.asked) +
                        " long messages were lost: this MIDI interface drops long SysEx; try "
                        "another.");
    }
    const auto& identity = result.identity;
    if (identity.lost + identity.damaged > 0) {
        lines.push_back(countOf(identity.lost + identity.damaged, identity.asked) +
                        " short answers were lost or damaged: check the cables and their "
                        "plugs.");
    }
    if (identity.duplicated + reads.duplicated > 0 && result.echoes == 0) {
        lines.push_back(
            countOf(identity.duplicated + reads.duplicated, identity.asked + reads.asked) +
            " requests were answered more than once: answers came late, or "
            "another device on the cable, or a MIDI loop, repeats them. Connect "
            "the VRX on its own.");
    }
    if (connectionGood(result)) {
        lines.push_back("The connection is good: every answer came whole, once.");
    }
    return lines;
}

}  // namespace vrx
