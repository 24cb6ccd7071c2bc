// Plays the replay suite's sessions with a simple autopilot and records them
// exactly as `korvane --record` would, then checks that each reached its
// situation. Run one scenario per process: the game's globals live for the
// whole process, as they do in korvane-headless.
//
//   make_recordings SCENARIO FILE     (scenarios: see kScenarios)
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "engine/engine.h"
#include "game/states.h"
#include "harness/dump.h"
#include "harness/recording.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "render/resources.h"

namespace {

const float kPi = 3.14159265f;

// Frame times like a real machine's: around 60 per second with jitter, from
// a generator of our own so the game's random numbers are not touched.
class Jitter {
  public:
    float next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        float u = static_cast<float>((state_ >> 40) & 0xFFFFFF) / 16777216.0f;
        return (1.0f / 60.0f) * (0.75f + 0.5f * u);
    }

  private:
    uint64_t state_ = 42;
};

class Session {
  public:
    bool start(const std::string& path, int seed) {
        engine_set_backend(create_sdl_engine);
        std::string error;
        if (!recorder_.open(path, seed, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return false;
        }
        configure_engine();
        engine->System_SetState(HGE_HEADLESS, true);
        engine->System_SetState(HGE_SEED, seed);
        engine->System_SetState(HGE_DATADIR, KORVANE_DATA_DIR);
        record_frames_with(&recorder_);
        if (!start_game()) return false;
        return true;
    }
    void key(int code, bool down) {
        if (code <= 0 || code > 255 || held_[code] == down) return;
        held_[code] = down;
        engine->Input_Inject(code, down);
    }
    void release_all() {
        for (int k = 1; k < 256; ++k) key(k, false);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            engine->Timer_SetFixedDelta(jitter_.next());
            engine->System_RunFrames(1);
            ++count_;
        }
    }
    void tap(int code) {
        key(code, true);
        frames(1);
        key(code, false);
        frames(2);
    }
    bool finish() {
        release_all();
        frames(1);
        std::string error;
        bool ok = recorder_.finish(dump_state(app.world, recorder_.frames()), error);
        if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
        record_frames_with(nullptr);
        shutdown_program();
        return ok;
    }
    long count() const { return count_; }

  private:
    Recorder recorder_;
    Jitter jitter_;
    bool held_[256] = {};
    long count_ = 0;
};

float wrap_half(float d) {
    if (app.world.field_half <= 0) return d;
    float side = 2 * app.world.field_half;
    while (d > app.world.field_half) d -= side;
    while (d < -app.world.field_half) d += side;
    return d;
}

// Turns toward the nearest enemy (or the rival ship, when given) and taps
// fire when it points at it; with ram set it flies into it instead of shooting.
void pilot(Session& s, int index, bool ram, const ship* rival = nullptr) {
    ship& me = app.world.ship_records[index];
    int keys[5] = {me.key_left, me.key_right, me.key_up, me.key_down, me.key_fire};
    bool want[5] = {};
    if (me.armor >= 0 && (rival ? rival->armor >= 0 : !app.world.enemy_list.empty())) {
        float best = 1e30f, dx = 0, dy = 0;
        for (const enemy& e : app.world.enemy_list) {
            float ex = wrap_half(e.x - me.x), ey = wrap_half(e.y - me.y);
            float d = ex * ex + ey * ey;
            if (d < best) best = d, dx = ex, dy = ey;
        }
        if (rival) {
            dx = wrap_half(rival->x - me.x), dy = wrap_half(rival->y - me.y);
            best = dx * dx + dy * dy;
        }
        float dist = std::sqrt(best);
        float diff = std::atan2(dy, dx) - me.angle;
        while (diff > kPi) diff -= 2 * kPi;
        while (diff < -kPi) diff += 2 * kPi;
        float ahead = diff - me.rotate_speed * 0.15f; // its turn carries on a little
        want[1] = ahead > 0.05f;
        want[0] = ahead < -0.05f;
        if (ram) {
            want[2] = std::fabs(diff) < 0.8f;
        } else {
            want[2] = dist > 350 && std::fabs(diff) < 0.6f;
            want[3] = dist < 150;
            // Tapping shoots faster than holding.
            want[4] = std::fabs(diff) < 0.35f && (s.count() % 2 == 0);
        }
    }
    for (int i = 0; i < 5; ++i) s.key(keys[i], want[i]);
}

// Nine letters that the menu decodes to level, money and ships 3, all
// upgrades 0, one player; the first letter of each value pair.
std::string password_for(int level, int money) {
    const char letters[] = "TUVLMRFENZQGXOYP";
    struct Bit {
        char field;
        int bit;
    };
    const Bit layout[9][4] = {
        {{'F', 0}, {'L', 0}, {'S', 0}, {'L', 1}}, {{'H', 2}, {'L', 5}, {'X', 0}, {'M', 2}},
        {{'M', 1}, {'L', 8}, {'S', 4}, {'X', 2}}, {{'H', 0}, {'S', 5}, {'F', 2}, {'M', 4}},
        {{'M', 0}, {'X', 1}, {'L', 7}, {'S', 6}}, {{'F', 1}, {'H', 1}, {'L', 6}, {'S', 3}},
        {{'M', 3}, {'M', 6}, {'L', 4}, {'S', 2}}, {{'G', 0}, {'M', 8}, {'L', 3}, {'S', 1}},
        {{'M', 5}, {'M', 9}, {'L', 2}, {'M', 7}},
    };
    auto value = [&](char f) { return f == 'L' ? level : f == 'M' ? money : f == 'S' ? 3 : 0; };
    std::string out;
    for (const auto& c : layout) {
        int v = 0;
        for (int b = 0; b < 4; ++b) v |= ((value(c[b].field) >> c[b].bit) & 1) << (3 - b);
        out += letters[v];
    }
    return out;
}

bool expect(bool ok, const char* what) {
    if (!ok) std::fprintf(stderr, "make_recordings: %s\n", what);
    return ok;
}

void to_menu(Session& s) {
    s.frames(10);
    s.tap(HGEK_SPACE); // any key leaves the title
    s.frames(10);
}

void to_play(Session& s) {
    s.tap(HGEK_ENTER); // menu to shop
    s.frames(10);
    s.tap(HGEK_ENTER); // shop to play
}

bool play_until(Session& s, const std::function<bool()>& done, bool two, bool ram, int cap) {
    for (int i = 0; i < cap && !done(); ++i) {
        pilot(s, 0, ram);
        if (two) pilot(s, 1, ram);
        s.frames(1);
    }
    s.release_all();
    return done();
}

bool menu_demo(Session& s) {
    to_menu(s);
    s.frames(1500);
    return expect(app.world.game_state == STATE_MENU && !app.world.enemy_list.empty(),
                  "the demo is not running");
}

bool level_cleared(Session& s) {
    to_menu(s);
    to_play(s);
    bool ok = play_until(
        s, [] { return app.world.game_state == STATE_SHOP; }, false, false, 30000);
    s.frames(30);
    return expect(ok && app.world.level_index == 1 && app.world.game_mode == MODE_ONE_PLAYER,
                  "level 0 was not cleared");
}

bool game_over(Session& s) {
    to_menu(s);
    to_play(s);
    bool ok = play_until(
        s, [] { return app.world.game_state == STATE_GAME_OVER; }, false, true, 40000);
    s.frames(20);
    return expect(ok && app.world.game_state == STATE_GAME_OVER, "no game over");
}

bool password_shop(Session& s) {
    to_menu(s);
    for (char c : password_for(3, 700)) s.tap(c);
    s.frames(5);
    if (!expect(app.world.money == 700 && app.world.level_index == 3, "the password was not taken"))
        return false;
    s.tap(HGEK_ENTER);
    s.frames(10);
    for (int key : {HGEK_F2, HGEK_F3, HGEK_F4, HGEK_F1}) {
        s.tap(key);
        s.frames(5);
    }
    int spent = 700 - app.world.money;
    s.tap(HGEK_ENTER);
    play_until(
        s, [] { return false; }, false, false, 600);
    return expect(spent > 0 && app.world.game_state == STATE_PLAY && app.world.level_index == 3,
                  "no shopping trip");
}

bool teamwork_level(Session& s) {
    to_menu(s);
    s.tap(HGEK_SPACE); // ONE PLAYER to TEAMWORK
    s.frames(5);
    to_play(s);
    bool ok = play_until(
        s, [] { return app.world.game_state == STATE_SHOP; }, true, false, 30000);
    s.frames(30);
    return expect(ok && app.world.level_index == 1 && app.world.game_mode == MODE_TEAMWORK,
                  "no two-player level");
}

bool competition_match(Session& s) {
    to_menu(s);
    s.tap(HGEK_SPACE); // ONE PLAYER to TEAMWORK
    s.tap(HGEK_SPACE); // TEAMWORK to COMPETITION
    s.frames(5);
    to_play(s);
    // Ship 1 hunts ship 0, which only turns to shoot back at enemies.
    bool ok = false;
    for (int i = 0; i < 20000 && !ok; ++i) {
        pilot(s, 0, false);
        pilot(s, 1, false, &app.world.ship_records[0]);
        s.frames(1);
        ok = app.world.game_state == STATE_GAME_OVER;
    }
    s.release_all();
    s.frames(120); // the winner screen, then the menu
    return expect(ok && app.world.winner != WINNER_NONE && app.world.game_state == STATE_MENU &&
                      app.world.game_mode == MODE_COMPETITION,
                  "the match did not end");
}

struct Scenario {
    const char* name;
    int seed;
    bool (*play)(Session&);
};

const Scenario kScenarios[] = {
    {"menu_demo", 1001, menu_demo},           {"level_cleared", 1002, level_cleared},
    {"game_over", 1003, game_over},           {"password_shop", 1004, password_shop},
    {"teamwork_level", 1005, teamwork_level}, {"competition_match", 1006, competition_match},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_recordings SCENARIO FILE\n");
        return 2;
    }
    for (const Scenario& sc : kScenarios) {
        if (std::strcmp(sc.name, argv[1]) != 0) continue;
        Session s;
        if (!s.start(argv[2], sc.seed)) return 1;
        bool ok = sc.play(s);
        bool written = s.finish();
        std::printf("%s: %ld frames%s\n", sc.name, s.count(), ok ? "" : " (FAILED)");
        return ok && written ? 0 : 1;
    }
    std::fprintf(stderr, "make_recordings: unknown scenario %s\n", argv[1]);
    return 2;
}
