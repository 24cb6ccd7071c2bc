#include "fuzz_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/states.h"
#include "main/app.h"
#include "main/resources.h"
#include "render/resources.h"

void fuzz_check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

void reset_game() {
    if (engine) free_resources();
    engine = nullptr;
    app = App();
}

void start_world() {
    Settings file{};
    read_settings(file, true);
    new_world(app.world, file, 1, 800, 590);
}

void run_frames(FakeEngine& fake, int n) {
    for (int i = 0; i < n; ++i) {
        fake.begin_frame();
        frame_func();
        // Drawing costs most of a frame; every fourth one still reaches every path.
        if (i % 4 == 3) render_func();
        fake.reset_records();
    }
}

void tap(FakeEngine& fake, int key) {
    fake.press(key);
    run_frames(fake, 1);
    fake.release(key);
}

namespace {

bool all_finite(const float* v, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

template <size_t N> bool all_finite(const float (&v)[N]) {
    return all_finite(v, N);
}

bool finite_ship(const ship& s) {
    const float v[] = {s.x,
                       s.y,
                       s.angle,
                       s.partner_screen_x,
                       s.partner_screen_y,
                       s.partner_radar_x,
                       s.partner_radar_y,
                       s.side_x,
                       s.side_y,
                       s.invul_timer,
                       s.fire_timer,
                       s.fire_held,
                       s.death_timer,
                       s.speed,
                       s.rotate_speed};
    return all_finite(v);
}

bool finite_enemy(const enemy& e) {
    const float v[] = {e.x,           e.y,           e.angle,       e.screen_x[0],
                       e.screen_x[1], e.screen_y[0], e.screen_y[1], e.radar_x[0],
                       e.radar_x[1],  e.radar_y[0],  e.radar_y[1],  e.fire_timer,
                       e.speed,       e.rotate,      e.aux_a,       e.aux_b};
    return all_finite(v);
}

bool finite_bullet(const bullet& b) {
    const float v[] = {b.x,           b.y,           b.angle,       b.screen_x[0],
                       b.screen_x[1], b.screen_y[0], b.screen_y[1], b.lifetime};
    return all_finite(v);
}

bool finite_kaboom(const kaboom& k) {
    const float v[] = {k.x, k.y, k.view0_x, k.view0_y, k.view1_x, k.view1_y, k.delay};
    return all_finite(v);
}

} // namespace

std::string non_finite_field() {
    for (int i = 0; i < 4; ++i)
        if (!finite_ship(app.world.ship_records[i])) return "ship " + std::to_string(i);
    for (const enemy& e : app.world.enemy_list)
        if (!finite_enemy(e)) return "enemy of kind " + std::to_string(e.kind);
    for (const auto* list :
         {&app.world.player_bullets[0], &app.world.player_bullets[1], &app.world.enemy_bullets})
        for (const bullet& b : *list)
            if (!finite_bullet(b)) return "bullet";
    for (const auto* list : {&app.world.big_list, &app.world.small_list})
        for (const kaboom& k : *list)
            if (!finite_kaboom(k)) return "explosion";
    for (const star& s : app.world.stars)
        if (!std::isfinite(s.x) || !std::isfinite(s.y)) return "star";
    const float timers[] = {app.world.spawn_timer,     app.world.level_end_timer,
                            app.world.game_over_timer, app.world.view_anchor[0],
                            app.world.view_anchor[1],  app.world.blink_timer[0],
                            app.world.blink_timer[1],  app.world.field_half};
    if (!all_finite(timers)) return "timers";
    return "";
}

void check_game_state() {
    fuzz_check(app.world.game_state >= STATE_TITLE && app.world.game_state <= STATE_GAME_OVER,
               "game_state in 0..4");
    fuzz_check(app.world.game_mode == MODE_ONE_PLAYER || app.world.game_mode == MODE_TEAMWORK,
               "game_mode 0 or 1");
    fuzz_check(app.world.level_index >= 0 && app.world.level_index <= 49, "level_index in 0..49");
    fuzz_check(app.world.iteration >= 0 && app.world.iteration <= 8, "iteration in 0..8");
    fuzz_check(app.world.map_index >= 0 && app.world.map_index <= 3, "map_index in 0..3");
    fuzz_check(app.world.money >= 0, "money not negative");
    fuzz_check(app.world.password_cursor >= 0 && app.world.password_cursor <= 8,
               "password_cursor in 0..8");
    fuzz_check(app.world.password[9] == '\0', "password ends after nine letters");
    fuzz_check(app.world.pending_list.empty(), "pending enemies joined at the end of the frame");
    for (int i = 0; i < 2; ++i) {
        const ship& s = app.world.ship_records[i];
        fuzz_check(s.flexibility >= 0 && s.flexibility <= 5, "flexibility in 0..5");
        fuzz_check(s.firepower >= 0 && s.firepower <= 5, "firepower in 0..5");
        fuzz_check(s.shield >= 0 && s.shield <= 5, "shield in 0..5");
    }
    std::string bad = non_finite_field();
    fuzz_check(bad.empty(), ("a number that is not finite in " + bad).c_str());
}
