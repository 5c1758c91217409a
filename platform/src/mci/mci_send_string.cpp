// MCI command strings: music files opened under an alias, played through the
// layer's mixer, with MM_MCINOTIFY posted to the callback window.
#include "core/clock.h"
#include "kernel/windows_path.h"
#include "core/settings.h"
#include "dsound/mixer.h"
#include "mci/mci_command.h"
#include "mci/mci_player.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <strings.h>

namespace ludora::mci {
namespace {

struct Device {
    MCIDEVICEID id = 0;
    std::string alias;
    std::shared_ptr<MciPlayer> player;
};

struct CaseInsensitive {
    bool operator()(const std::string& a, const std::string& b) const {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    }
};

struct DeviceTable {
    std::mutex mutex; // taken before the mixer's lock, never after it
    std::map<std::string, Device, CaseInsensitive> devices;
    MCIDEVICEID next_id = 1;
};

DeviceTable& table() {
    static DeviceTable* devices = new DeviceTable();
    return *devices;
}

audio::Mixer& mixer() {
    return audio::Mixer::instance();
}

struct Reply {
    LPSTR text;
    UINT size;

    MCIERROR put(const std::string& value) const {
        if (text == nullptr || size == 0) return 0;
        if (value.size() + 1 > size) return MCIERR_PARAM_OVERFLOW;
        std::memcpy(text, value.c_str(), value.size() + 1);
        return 0;
    }
};

bool parse_number(const std::string& word, uint32_t& value) {
    if (word.empty()) return false;
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(word.c_str(), &end, 10);
    if (*end != '\0' || parsed > 0xFFFFFFFFul) return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}

// The words of a command after the device name, with "notify" and "wait" taken out.
struct Options {
    std::vector<std::string> words;
    bool notify = false;
    bool wait = false;
};

Options options_of(const std::vector<std::string>& words, size_t first) {
    Options options;
    for (size_t i = first; i < words.size(); ++i) {
        if (same_word(words[i], "notify")) {
            options.notify = true;
        } else if (same_word(words[i], "wait")) {
            options.wait = true;
        } else {
            options.words.push_back(words[i]);
        }
    }
    return options;
}

MCIERROR open_device(const std::string& file, const Options& options, const Reply& reply) {
    std::string alias = file;
    for (size_t i = 0; i < options.words.size(); ++i) {
        const std::string& word = options.words[i];
        if (same_word(word, "alias") || same_word(word, "type")) {
            if (i + 1 >= options.words.size()) return MCIERR_MISSING_STRING_ARGUMENT;
            if (same_word(word, "alias")) alias = options.words[i + 1];
            ++i;
        } else if (!same_word(word, "shareable")) {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    {
        std::lock_guard lock(table().mutex);
        if (table().devices.count(alias) != 0) return MCIERR_DUPLICATE_ALIAS;
    }
    if (settings::audio_disabled()) return MCIERR_HARDWARE;
    auto audio = std::make_shared<DecodedAudio>();
    switch (decode_audio_file(kernel::host_path(file.c_str()), *audio)) {
    case DecodeResult::not_found:
        return MCIERR_FILE_NOT_FOUND;
    case DecodeResult::invalid:
        return MCIERR_INVALID_FILE;
    case DecodeResult::ok:
        break;
    }
    if (!mixer().acquire()) return MCIERR_HARDWARE;
    std::lock_guard lock(table().mutex);
    if (table().devices.count(alias) != 0) {
        mixer().release();
        return MCIERR_DUPLICATE_ALIAS;
    }
    Device device;
    device.id = table().next_id++;
    device.alias = alias;
    device.player = std::make_shared<MciPlayer>(std::move(audio), device.id);
    device.player->set_end_frame(device.player->frames());
    table().devices.emplace(alias, device);
    return reply.put(std::to_string(device.id));
}

// Plays until the end, a stop or a close; no lock is held while waiting.
void wait_for_end(const std::shared_ptr<MciPlayer>& player) {
    while (true) {
        {
            std::lock_guard lock(mixer().mutex());
            if (player->mode() != PlayerMode::playing) return;
        }
        clock_sleep_us(5000);
    }
}

MCIERROR play(Device& device, const Options& options, HWND window, audio::Signals& signals) {
    MciPlayer& player = *device.player;
    bool from_given = false;
    uint32_t from_ms = 0;
    uint32_t to_ms = 0;
    bool to_given = false;
    for (size_t i = 0; i < options.words.size(); ++i) {
        const bool from = same_word(options.words[i], "from");
        if (!from && !same_word(options.words[i], "to")) return MCIERR_UNRECOGNIZED_KEYWORD;
        if (i + 1 >= options.words.size()) return MCIERR_MISSING_PARAMETER;
        uint32_t value = 0;
        if (!parse_number(options.words[++i], value)) return MCIERR_BAD_INTEGER;
        (from ? from_ms : to_ms) = value;
        (from ? from_given : to_given) = true;
    }
    std::lock_guard lock(mixer().mutex());
    if (from_given && player.frame_of(from_ms) > player.frames()) return MCIERR_OUTOFRANGE;
    // A new play answers the one still pending.
    player.settle_notification(options.notify ? MCI_NOTIFY_SUPERSEDED : MCI_NOTIFY_ABORTED,
                               signals);
    player.set_end_frame(to_given ? player.frame_of(to_ms) : player.frames());
    if (from_given) {
        player.seek(player.frame_of(from_ms));
    } else if (player.frame() >= player.end_frame()) {
        player.seek(0); // played to the end: start again
    }
    if (options.notify) player.expect_notification(window);
    player.set_mode(PlayerMode::playing);
    mixer().activate_locked(device.player);
    return 0;
}

MCIERROR status(Device& device, const Options& options, const Reply& reply) {
    if (options.words.empty()) return MCIERR_MISSING_PARAMETER;
    const std::string& item = options.words[0];
    std::string value;
    {
        std::lock_guard lock(mixer().mutex());
        const MciPlayer& player = *device.player;
        if (same_word(item, "mode")) {
            value = player.mode() == PlayerMode::playing  ? "playing"
                    : player.mode() == PlayerMode::paused ? "paused"
                                                          : "stopped";
        } else if (same_word(item, "position")) {
            value = std::to_string(player.ms_of(player.frame()));
        } else if (same_word(item, "length")) {
            value = std::to_string(player.ms_of(player.frames()));
        } else if (same_word(item, "ready")) {
            value = "true";
        } else if (same_word(item, "time") && options.words.size() > 1 &&
                   same_word(options.words[1], "format")) {
            value = "milliseconds";
        } else {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    return reply.put(value);
}

MCIERROR seek(Device& device, const Options& options, audio::Signals& signals) {
    if (options.words.size() != 2 || !same_word(options.words[0], "to"))
        return MCIERR_MISSING_PARAMETER;
    std::lock_guard lock(mixer().mutex());
    MciPlayer& player = *device.player;
    uint32_t target = 0;
    if (same_word(options.words[1], "start")) {
        target = 0;
    } else if (same_word(options.words[1], "end")) {
        target = player.frames();
    } else {
        uint32_t ms = 0;
        if (!parse_number(options.words[1], ms)) return MCIERR_BAD_INTEGER;
        if (player.frame_of(ms) > player.frames() || ms > player.ms_of(player.frames()))
            return MCIERR_OUTOFRANGE;
        target = player.frame_of(ms);
    }
    // Seeking stops the music, as on Windows.
    player.settle_notification(MCI_NOTIFY_ABORTED, signals);
    player.set_mode(PlayerMode::stopped);
    player.seek(target);
    return 0;
}

MCIERROR set(const Options& options) {
    // Only the millisecond time format is offered.
    if (options.words.size() == 3 && same_word(options.words[0], "time") &&
        same_word(options.words[1], "format") &&
        (same_word(options.words[2], "milliseconds") || same_word(options.words[2], "ms"))) {
        return 0;
    }
    return options.words.empty() ? MCIERR_MISSING_PARAMETER : MCIERR_UNSUPPORTED_FUNCTION;
}

void close_locked(Device& device, audio::Signals& signals) {
    std::lock_guard lock(mixer().mutex());
    device.player->settle_notification(MCI_NOTIFY_ABORTED, signals);
    device.player->set_mode(PlayerMode::stopped);
}

MCIERROR run(const std::vector<std::string>& words, const Reply& reply, HWND window,
             audio::Signals& signals, std::shared_ptr<MciPlayer>& wait_on, MCIDEVICEID& notify_id) {
    const std::string& verb = words[0];
    const bool known =
        same_word(verb, "open") || same_word(verb, "play") || same_word(verb, "pause") ||
        same_word(verb, "resume") || same_word(verb, "stop") || same_word(verb, "close") ||
        same_word(verb, "status") || same_word(verb, "seek") || same_word(verb, "set");
    if (!known) return MCIERR_UNRECOGNIZED_COMMAND;
    if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
    const Options options = options_of(words, 2);
    if (same_word(verb, "open")) return open_device(words[1], options, reply);
    // The player's position and end are the clock's, whatever the device mixed so far.
    mixer().catch_up();

    if (same_word(verb, "close") && same_word(words[1], "all")) {
        std::lock_guard lock(table().mutex);
        for (auto& [alias, device] : table().devices) {
            close_locked(device, signals);
            mixer().release();
        }
        table().devices.clear();
        return 0;
    }

    std::lock_guard lock(table().mutex);
    const auto found = table().devices.find(words[1]);
    if (found == table().devices.end()) return MCIERR_INVALID_DEVICE_NAME;
    Device& device = found->second;
    notify_id = device.id;
    if (same_word(verb, "play")) {
        const MCIERROR error = play(device, options, window, signals);
        if (error == 0 && options.wait) wait_on = device.player;
        return error;
    }
    if (same_word(verb, "status")) return status(device, options, reply);
    if (same_word(verb, "seek")) return seek(device, options, signals);
    if (same_word(verb, "set")) return set(options);
    if (!options.words.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
    if (same_word(verb, "close")) {
        close_locked(device, signals);
        table().devices.erase(found);
        mixer().release();
        return 0;
    }
    std::lock_guard mix_lock(mixer().mutex());
    MciPlayer& player = *device.player;
    if (same_word(verb, "pause")) {
        // The pending notification waits for the music to end after a resume.
        if (player.mode() == PlayerMode::playing) player.set_mode(PlayerMode::paused);
    } else if (same_word(verb, "resume")) {
        if (player.mode() == PlayerMode::paused) {
            player.set_mode(PlayerMode::playing);
            mixer().activate_locked(device.player);
        }
    } else { // stop
        player.settle_notification(MCI_NOTIFY_ABORTED, signals);
        player.set_mode(PlayerMode::stopped);
    }
    return 0;
}

} // namespace
} // namespace ludora::mci

extern "C" MCIERROR WINAPI mciSendStringA(LPCSTR lpstrCommand, LPSTR lpstrReturnString,
                                          UINT uReturnLength, HWND hwndCallback) {
    using namespace ludora::mci;
    const Reply reply{lpstrReturnString, uReturnLength};
    if (lpstrReturnString != nullptr && uReturnLength != 0) lpstrReturnString[0] = '\0';
    if (lpstrCommand == nullptr) return MCIERR_MISSING_COMMAND_STRING;
    std::vector<std::string> words;
    if (const MCIERROR error = split_command(lpstrCommand, words); error != 0) return error;
    if (words.empty()) return MCIERR_MISSING_COMMAND_STRING;

    ludora::audio::Signals signals;
    std::shared_ptr<MciPlayer> wait_on;
    MCIDEVICEID id = 0;
    const MCIERROR error = run(words, reply, hwndCallback, signals, wait_on, id);
    ludora::audio::deliver(signals);
    if (wait_on) wait_for_end(wait_on);
    // Any other command with "notify" reports its own completion at once.
    if (error == 0 && !same_word(words[0], "play") && id != 0 && options_of(words, 2).notify) {
        ludora::audio::deliver({ludora::audio::Signal{
            nullptr, hwndCallback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, static_cast<LPARAM>(id)}});
    }
    return error;
}
