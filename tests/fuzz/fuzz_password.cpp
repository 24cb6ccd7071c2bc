// Password typing: any bytes typed one by one as menu letters (every ninth
// applies the password), then a level started from whatever state resulted.
// The state must stay in range, and a made password must give the state back.
#include <cstring>

#include "fuzz_support.h"
#include "game/passwords.h"
#include "game/states.h"
#include "main/app.h"
#include "render/resources.h"

namespace {

struct Progress {
    int money, level_index, iteration, ships, firepower, flexibility, shield, game_mode;
};

Progress progress() {
    const ship& s = app.world.ship_records[0];
    return {app.world.money, app.world.level_index, app.world.iteration,
            s.ships,         s.firepower,           s.flexibility,
            s.shield,        app.world.game_mode};
}

bool operator==(const Progress& a, const Progress& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void check_progress() {
    const ship& s = app.world.ship_records[0];
    fuzz_check(app.world.money >= 0 && app.world.money < 1024, "money from ten bits");
    fuzz_check(app.world.level_index >= 0 && app.world.level_index < 50, "level in 0..49");
    fuzz_check(app.world.iteration >= 0 && app.world.iteration <= 8, "pass in 0..8");
    fuzz_check(s.ships >= 0 && s.ships < 100, "ships in 0..99");
    fuzz_check(s.firepower >= 0 && s.firepower <= 5, "firepower in 0..5");
    fuzz_check(s.flexibility >= 0 && s.flexibility <= 5, "flexibility in 0..5");
    fuzz_check(s.shield >= 0 && s.shield <= 5, "shield in 0..5");
    fuzz_check(app.world.game_mode == 0 || app.world.game_mode == 1, "mode 0 or 1");
    fuzz_check(app.world.password_cursor >= 0 && app.world.password_cursor <= 8, "cursor in 0..8");
    fuzz_check(app.world.password[9] == '\0', "nine letters");
    // However often passwords were applied, the opening group is the pass's own.
    int opening = 6;
    for (int i = 0; i < app.world.iteration; ++i)
        opening = static_cast<int>(static_cast<float>(opening) * 1.25f);
    fuzz_check(app.world.settings.start_enemy == opening,
               "the opening group of the pass, not compounded");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    reset_game();
    FakeEngine fake;
    engine = &fake;
    start_world();
    app.world.ship_records[0].ships = app.world.ship_records[1].ships = 3;

    for (size_t i = 0; i < size; ++i) {
        int before = app.world.password_cursor;
        type_password_letter(app.world, static_cast<char>(data[i]));
        fuzz_check(app.world.password_cursor == (before + 1) % 9,
                   "each letter moves the cursor on");
        check_progress();
    }

    // Whatever the letters did, the menu's own password must restore this state.
    Progress now = progress();
    make_password(app.world);
    fuzz_check(std::strlen(app.world.password) == 9, "a made password has nine letters");
    fuzz_check(apply_password(app.world), "a made password is valid");
    fuzz_check(progress() == now, "a made password restores the state it was made from");

    // The level it leads to starts and runs.
    set_game_state(app.world, ACTION_START_LEVEL);
    for (int i = 0; i < 30; ++i) {
        fake.begin_frame();
        frame_func();
        fake.reset_records();
    }
    check_game_state();
    engine = nullptr;
    return 0;
}
