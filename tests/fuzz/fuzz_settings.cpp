// The settings file: any text, read through the SDL back end's INI reader, then
// the game's own reading and start-up, the menu's demonstration and a level in
// each mode. The values must come out usable and the game must stay sound.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/sdl/ini_file.h"
#include "fuzz_support.h"
#include "game/states.h"
#include "main/app.h"
#include "main/resources.h"
#include "render/resources.h"

namespace {

// The fake engine, but with the real settings file reader behind Ini_Get*.
class IniEngine : public FakeEngine {
  public:
    IniFile file;
    int Ini_GetInt(const char* section, const char* name, int def) override {
        return file.get_int(section, name, def);
    }
    float Ini_GetFloat(const char* section, const char* name, float def) override {
        return file.get_float(section, name, def);
    }
};

// A fresh file for each input, removed after it (a crash leaves only its own).
std::string write_scratch(const uint8_t* data, size_t size) {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string name = std::string(dir) + "/korvane-fuzz-settings-XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0) return "";
    bool ok = size == 0 || write(fd, data, size) == static_cast<ssize_t>(size);
    close(fd);
    if (!ok) unlink(name.c_str());
    return ok ? name : "";
}

struct FloatCheck {
    int bad = 0;
    std::string first;
};

void check_float(const char* section, const char* key, const void* value, bool is_int, void* user) {
    if (is_int) return;
    float v = *static_cast<const float*>(value);
    auto& c = *static_cast<FloatCheck*>(user);
    if (std::isfinite(v) && std::fabs(v) <= 1e12f) return;
    if (c.bad++ == 0) c.first = std::string(section) + "." + key;
}

void check_settings(const IniEngine& fake) {
    FloatCheck floats;
    visit_settings(app.world.settings, check_float, &floats);
    fuzz_check(floats.bad == 0, ("a float setting out of bounds: " + floats.first).c_str());
    fuzz_check(app.world.settings.anim_kaboom_fps > 0 && app.world.settings.anim_boom_fps > 0,
               "explosions end");
    fuzz_check(std::fabs(app.world.settings.radar_scale) >= 0.001f,
               "the radar scale can be divided by");
    for (float side : app.world.settings.map_max)
        fuzz_check(side >= 1000, "a field larger than the view");
    fuzz_check(app.world.settings.star_count <= 10000, "a drawable star count");
    fuzz_check(std::fabs(app.world.settings.player_bullet_speed) >= 1, "shots leave the view");
    fuzz_check(app.world.settings.player_bullet_radius < 100,
               "shots leave the view and its margins");
    for (const EnemyTuning& t : app.world.settings.enemy)
        fuzz_check(t.bullet_lifetime <= 60, "enemy bullets end");
    fuzz_check(app.world.settings.enemy[FAMILY_FIREROCKET].speed_down >= 1 &&
                   app.world.settings.enemy[FAMILY_CHIKENROCKET].speed_down >= 1,
               "rockets slow down");
    for (int p : app.world.settings.price_flexibility) fuzz_check(p >= 0, "prices not negative");
    for (int p : app.world.settings.price_firepower) fuzz_check(p >= 0, "prices not negative");
    for (int p : app.world.settings.price_shield) fuzz_check(p >= 0, "prices not negative");
    fuzz_check(app.world.settings.price_ships >= 0, "prices not negative");
    for (const std::string& line : fake.log)
        fuzz_check(line.compare(0, 10, "Settings: ") == 0, "only the settings reader logs here");
}

void play(IniEngine& fake, int mode_keys) {
    tap(fake, HGEK_ENTER); // the shop
    tap(fake, HGEK_F2);
    tap(fake, HGEK_SPACE); // the level
    check_game_state();
    fake.press(HGEK_UP);
    fake.press(HGEK_LEFT);
    fake.press(HGEK_CTRL);
    if (mode_keys) {
        fake.press('W');
        fake.press('D');
        fake.press(HGEK_SHIFT);
    }
    run_frames(fake, 40);
    for (int key :
         {int(HGEK_UP), int(HGEK_LEFT), int(HGEK_CTRL), int('W'), int('D'), int(HGEK_SHIFT)})
        fake.release(key);
    run_frames(fake, 10);
    check_game_state();
    tap(fake, HGEK_ESCAPE); // back to the menu
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string file = write_scratch(data, size);
    if (file.empty()) return 0;

    reset_game();
    IniEngine fake;
    fake.file.set_path(file);
    configure_engine();
    fuzz_check(load_resources(), "start-up with every resource present");
    start_world();
    check_settings(fake);
    check_game_state();

    set_game_state(app.world, ACTION_TITLE);
    tap(fake, HGEK_SPACE); // a new game: the menu and its demonstration
    run_frames(fake, 20);
    fuzz_check(app.world.stars.size() ==
                   static_cast<size_t>(std::max(app.world.settings.star_count, 0)),
               "one star per count");
    check_game_state();
    play(fake, 0);
    tap(fake, HGEK_F1); // teamwork
    play(fake, 1);
    check_game_state();
    shutdown_program();
    unlink(file.c_str());
    return 0;
}
