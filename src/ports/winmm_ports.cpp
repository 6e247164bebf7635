#include "ports/winmm_ports.h"

#include <windows.h>
// after windows.h, which it needs
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <list>
#include <mutex>

#include "ports/sysex_joiner.h"
#include "ports/system_ports.h"
#include "protocol/utf8_path.h"

namespace vrx {
namespace {

// WinMM hands SysEx over in buffers; a whole PROGRAM_RESPONSE fits in one, and a few
// spare ones keep a burst of messages whole while the driver's thread hands them back.
constexpr std::size_t kSysexBufferBytes = 4096;
constexpr std::size_t kSysexBufferCount = 8;
// The longest a closing output waits for a SysEx still going out: the largest message
// takes about 100 ms on the cable.
constexpr ULONGLONG kSendingDrainMs = 1000;

std::string utf8Name(const wchar_t* name) {
    return utf8FromPath(std::filesystem::path(name));
}

std::string resultText(MMRESULT result, bool input) {
    std::array<wchar_t, MAXERRORLENGTH> text{};
    const auto got = input ? midiInGetErrorTextW(result, text.data(), text.size())
                           : midiOutGetErrorTextW(result, text.data(), text.size());
    if (got != MMSYSERR_NOERROR || text[0] == L'\0') {
        return "WinMM error " + std::to_string(result);
    }
    return utf8Name(text.data());
}

Status checked(MMRESULT result, bool input) {
    if (result == MMSYSERR_NOERROR) {
        return success();
    }
    return Status::failure(resultText(result, input));
}

// The bytes of a short message as WinMM packs them: status, then its data bytes.
Bytes shortMessageBytes(DWORD_PTR packed) {
    const auto status = static_cast<std::uint8_t>(packed & 0xFF);
    const auto data1 = static_cast<std::uint8_t>((packed >> 8) & 0xFF);
    const auto data2 = static_cast<std::uint8_t>((packed >> 16) & 0xFF);
    const int high = status & 0xF0;
    if (status >= 0xF8 || status == 0xF6) {
        return {status};
    }
    if (high == 0xC0 || high == 0xD0 || status == 0xF1 || status == 0xF3) {
        return {status, data1};
    }
    return {status, data1, data2};
}

}  // namespace

std::string winmmOpenFailureText(const std::string& what, unsigned result, bool input) {
    if (result == MMSYSERR_ALLOCATED) {
        return what + " is in use by another program";
    }
    return what + " could not be opened: " + resultText(result, input);
}

struct WinmmInput::Driver {
    explicit Driver(IncomingMailbox& mailbox) : mailbox_(mailbox) {}

    // Runs on WinMM's thread, where no WinMM function may be called (it can deadlock):
    // copy the bytes, and leave everything else, giving the buffer back included, to
    // the user-interface thread.
    static void CALLBACK onEvent(HMIDIIN /*handle*/, UINT event, DWORD_PTR self, DWORD_PTR param1,
                                 DWORD_PTR /*timeStamp*/) {
        auto* driver = reinterpret_cast<Driver*>(self);
        if (event == MIM_DATA) {
            driver->mailbox_.post(shortMessageBytes(param1));
        } else if (event == MIM_LONGDATA) {
            driver->takeSysex(*reinterpret_cast<MIDIHDR*>(param1));
        }
    }

    void takeSysex(MIDIHDR& header) {
        // While the port closes, its buffers come back to be put away, not used again.
        if (closing_) {
            return;
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(header.lpData);
        for (auto& complete : joiner_.add(ByteView(bytes, header.dwBytesRecorded))) {
            mailbox_.post(std::move(complete));
        }
        {
            const std::lock_guard lock(returnedMutex_);
            returned_.push_back(&header);
        }
        mailbox_.wake();
    }

    // On the user-interface thread: the buffers WinMM filled go back to it.
    void rearmReturnedBuffers() {
        std::vector<MIDIHDR*> returned;
        {
            const std::lock_guard lock(returnedMutex_);
            returned.swap(returned_);
        }
        for (MIDIHDR* header : returned) {
            if (handle_ != nullptr && !closing_) {
                midiInAddBuffer(handle_, header, sizeof(MIDIHDR));
            }
        }
    }

    Status open(int device, std::size_t bufferBytes) {
        const auto result = midiInOpen(&handle_, static_cast<UINT>(device),
                                       reinterpret_cast<DWORD_PTR>(&Driver::onEvent),
                                       reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
        if (result != MMSYSERR_NOERROR) {
            handle_ = nullptr;
            return Status::failure(
                winmmOpenFailureText("MIDI input device " + std::to_string(device), result, true));
        }
        closing_ = false;
        returned_.clear();
        buffers_.assign(kSysexBufferCount, std::vector<char>(bufferBytes));
        headers_.assign(kSysexBufferCount, MIDIHDR{});
        for (std::size_t i = 0; i < kSysexBufferCount; ++i) {
            headers_[i].lpData = buffers_[i].data();
            headers_[i].dwBufferLength = static_cast<DWORD>(bufferBytes);
            midiInPrepareHeader(handle_, &headers_[i], sizeof(MIDIHDR));
            midiInAddBuffer(handle_, &headers_[i], sizeof(MIDIHDR));
        }
        if (auto started = checked(midiInStart(handle_), true); !started) {
            close();
            return started;
        }
        return success();
    }

    void close() {
        if (handle_ == nullptr) {
            return;
        }
        closing_ = true;
        midiInStop(handle_);
        midiInReset(handle_);  // hands every buffer back
        bool allBack = true;
        for (auto& header : headers_) {
            allBack = midiInUnprepareHeader(handle_, &header, sizeof header) == MMSYSERR_NOERROR &&
                      allBack;
        }
        midiInClose(handle_);
        handle_ = nullptr;
        const std::lock_guard lock(returnedMutex_);
        returned_.clear();
        // A driver that kept a buffer may still write into it: it is never freed then.
        if (!allBack) {
            kept_.push_back(std::move(buffers_));
            keptHeaders_.push_back(std::move(headers_));
        }
        buffers_.clear();
        headers_.clear();
    }

    IncomingMailbox& mailbox_;
    HMIDIIN handle_ = nullptr;
    std::atomic<bool> closing_ = false;
    SysexJoiner joiner_;  // touched only on WinMM's thread
    std::vector<std::vector<char>> buffers_;
    std::vector<MIDIHDR> headers_;
    std::mutex returnedMutex_;
    std::vector<MIDIHDR*> returned_;  // filled on WinMM's thread, emptied on the user's
    std::vector<std::vector<std::vector<char>>> kept_;
    std::vector<std::vector<MIDIHDR>> keptHeaders_;
};

WinmmInput::WinmmInput(std::function<void()> notifier)
    : mailbox_(std::move(notifier)), driver_(std::make_unique<Driver>(mailbox_)) {}

WinmmInput::~WinmmInput() {
    driver_->close();
}

Result<int> WinmmInput::deviceCount() {
    const auto count = static_cast<int>(midiInGetNumDevs());
    if (count == 0) {
        return Result<int>::failure("no MIDI input device is installed");
    }
    return count;
}

Result<std::string> WinmmInput::deviceName(int device) {
    MIDIINCAPSW caps{};
    if (auto got =
            checked(midiInGetDevCapsW(static_cast<UINT_PTR>(device), &caps, sizeof caps), true);
        !got) {
        return Result<std::string>::failure(got.error());
    }
    return utf8Name(caps.szPname);
}

Status WinmmInput::openDevice(int device, std::size_t receiveBufferBytes) {
    return driver_->open(device, std::max(kSysexBufferBytes, receiveBufferBytes));
}

void WinmmInput::closeDevice() {
    driver_->close();
}

void WinmmInput::dispatchEvents() {
    driver_->rearmReturnedBuffers();
    deliver(mailbox_.takeAll());
}

struct WinmmOutput::Driver {
    // A SysEx message stays with WinMM until it has gone out; its bytes and header
    // live here until then.
    struct Sending {
        Bytes bytes;
        MIDIHDR header{};
    };

    // Gives back what WinMM has finished sending.
    void collectSent(bool all) {
        for (auto it = sending_.begin(); it != sending_.end();) {
            if (all || (it->header.dwFlags & MHDR_DONE) != 0) {
                midiOutUnprepareHeader(handle_, &it->header, sizeof(MIDIHDR));
                it = sending_.erase(it);
            } else {
                ++it;
            }
        }
    }

    Status sendSysex(ByteView message) {
        auto& sending = sending_.emplace_back();
        sending.bytes.assign(message.begin(), message.end());
        sending.header.lpData = reinterpret_cast<LPSTR>(sending.bytes.data());
        sending.header.dwBufferLength = static_cast<DWORD>(sending.bytes.size());
        if (auto prepared =
                checked(midiOutPrepareHeader(handle_, &sending.header, sizeof(MIDIHDR)), false);
            !prepared) {
            sending_.pop_back();
            return prepared;
        }
        if (auto sent = checked(midiOutLongMsg(handle_, &sending.header, sizeof(MIDIHDR)), false);
            !sent) {
            midiOutUnprepareHeader(handle_, &sending.header, sizeof(MIDIHDR));
            sending_.pop_back();
            return sent;
        }
        return success();
    }

    Status sendShort(ByteView message) {
        DWORD packed = 0;
        for (std::size_t i = 0; i < std::min<std::size_t>(message.size(), 3); ++i) {
            packed |= static_cast<DWORD>(message[i]) << (8 * i);
        }
        return checked(midiOutShortMsg(handle_, packed), false);
    }

    // A SysEx still going out is let finish: midiOutReset would cut it short, and send
    // note-offs on every channel besides. Only a driver that never finishes is reset.
    void close() {
        if (handle_ == nullptr) {
            return;
        }
        const ULONGLONG deadline = GetTickCount64() + kSendingDrainMs;
        collectSent(false);
        while (!sending_.empty() && GetTickCount64() < deadline) {
            Sleep(1);
            collectSent(false);
        }
        if (!sending_.empty()) {
            midiOutReset(handle_);
        }
        collectSent(true);
        midiOutClose(handle_);
        handle_ = nullptr;
    }

    HMIDIOUT handle_ = nullptr;
    std::list<Sending> sending_;  // stable addresses: WinMM holds the headers
};

WinmmOutput::WinmmOutput() : driver_(std::make_unique<Driver>()) {}

WinmmOutput::~WinmmOutput() {
    driver_->close();
}

Result<int> WinmmOutput::deviceCount() {
    const auto count = static_cast<int>(midiOutGetNumDevs());
    if (count == 0) {
        return Result<int>::failure("no MIDI output device is installed");
    }
    return count;
}

Result<std::string> WinmmOutput::deviceName(int device) {
    MIDIOUTCAPSW caps{};
    const auto id = device == kDefaultDevice ? MIDI_MAPPER : static_cast<UINT_PTR>(device);
    if (auto got = checked(midiOutGetDevCapsW(id, &caps, sizeof caps), false); !got) {
        return Result<std::string>::failure(got.error());
    }
    return utf8Name(caps.szPname);
}

Status WinmmOutput::openDevice(int device) {
    const auto id = device == kDefaultDevice ? MIDI_MAPPER : static_cast<UINT>(device);
    const auto result = midiOutOpen(&driver_->handle_, id, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        driver_->handle_ = nullptr;
        return Status::failure(
            winmmOpenFailureText("MIDI output device " + std::to_string(device), result, false));
    }
    return success();
}

void WinmmOutput::closeDevice() {
    driver_->close();
}

Status WinmmOutput::sendBytes(ByteView message) {
    if (driver_->handle_ == nullptr) {
        return Status::failure("the MIDI output is not open");
    }
    driver_->collectSent(false);
    if (!message.empty() && message.front() == 0xF0) {
        return driver_->sendSysex(message);
    }
    return driver_->sendShort(message);
}

void WinmmOutput::dispatchEvents() {
    driver_->collectSent(false);
    MidiOutput::dispatchEvents();
}

// Windows has one MIDI service: the choice of service does not apply.
std::unique_ptr<MidiInput> makeSystemMidiInput(std::function<void()> notifier, MidiApi /*api*/) {
    return std::make_unique<WinmmInput>(std::move(notifier));
}

std::unique_ptr<MidiOutput> makeSystemMidiOutput(MidiApi /*api*/) {
    return std::make_unique<WinmmOutput>();
}

}  // namespace vrx
