#include "engine/sdl/gamepads.h"

namespace {

// The game's own defaults, so a pad flies the ship the keyboard would.
const int kDefaultKeys[2][5] = {{37, 39, 38, 40, 17}, {65, 68, 87, 83, 81}};
const char* const kKeyNames[5] = {"left", "right", "up", "down", "fire"};

} // namespace

unsigned pad_actions(const PadInput& in) {
    unsigned bits = 0;
    auto set = [&bits](PadAction a, bool on) {
        if (on) bits |= 1u << a;
    };
    set(PAD_LEFT, in.dpad_left || in.stick_x < -kPadDeadZone);
    set(PAD_RIGHT, in.dpad_right || in.stick_x > kPadDeadZone);
    set(PAD_UP, in.dpad_up || in.stick_y < -kPadDeadZone);
    set(PAD_DOWN, in.dpad_down || in.stick_y > kPadDeadZone);
    set(PAD_FIRE, in.a || in.b);
    set(PAD_ENTER, in.start);
    set(PAD_ESCAPE, in.back);
    return bits;
}

PadKeys pad_keys_for(IniFile& ini, int player) {
    PadKeys keys{};
    int p = player == 1 ? 1 : 0;
    const char* section = p == 1 ? "Player1" : "Player0";
    for (int i = 0; i < 5; ++i) {
        int code = ini.get_int(section, kKeyNames[i], kDefaultKeys[p][i]);
        keys.key[i] = code > 0 && code < 256 ? code : 0;
    }
    keys.key[PAD_ENTER] = 13;
    keys.key[PAD_ESCAPE] = 27;
    return keys;
}
