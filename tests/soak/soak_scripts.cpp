#include "soak_scripts.h"

#include <algorithm>
#include <random>
#include <vector>

#include "game/passwords.h"
#include "support/draws.h"
#include "world/world.h"

namespace {

// Counts frames and puts a dump after every whole sample_every frames.
class ScriptWriter {
  public:
    explicit ScriptWriter(const SoakPlan& plan) : plan_(plan) {}

    void line(const std::string& s) {
        if (left() > 0) text_ += s + "\n";
    }
    // Runs up to n frames of what is left; false once the plan is used up.
    bool frames(long n) {
        while (n > 0 && left() > 0) {
            long to_sample = plan_.sample_every - done_ % plan_.sample_every;
            long k = std::min({n, to_sample, left()});
            text_ += "frames " + std::to_string(k) + "\n";
            done_ += k;
            n -= k;
            if (done_ % plan_.sample_every == 0) text_ += "dump\n";
        }
        return left() > 0;
    }
    void tap(const std::string& key) {
        line("tap " + key);
        frames(1);
    }
    long left() const { return plan_.frames - done_; }
    const std::string& text() const { return text_; }

  private:
    SoakPlan plan_;
    long done_ = 0;
    std::string text_;
};

// The password the game itself makes for this progress.
std::string password_of(int level, int pass, int credits, int firepower, int flexibility,
                        int shield, int mode) {
    World w;
    ScriptedDraws first_letters; // of two letters for a value, always the same one
    w.tap = &first_letters;
    w.level_index = level;
    w.iteration = pass;
    w.money = credits;
    ship& s = w.ship_records[0];
    s.ships = 99; // nobody runs out, so no game over leaves the menu behind the next Escape
    s.firepower = firepower;
    s.flexibility = flexibility;
    s.shield = shield;
    w.game_mode = mode;
    make_password(w);
    return w.password;
}

class Dice {
  public:
    explicit Dice(uint32_t seed) : rng_(seed) {}
    // lo..hi, both included; raw engine output so every platform draws alike.
    int roll(int lo, int hi) {
        return lo + static_cast<int>(rng_() % static_cast<uint32_t>(hi - lo + 1));
    }

  private:
    std::mt19937 rng_;
};

const char* const PLAY_KEYS[] = {"LEFT", "RIGHT", "UP", "DOWN", "CTRL",
                                 "A",    "D",     "W",  "S",    "SHIFT"};
const int PLAY_KEY_COUNT = 10;

void play_round(ScriptWriter& w, Dice& dice) {
    // Pass 8 would end at the title, where the Escape below quits; near the end of
    // pass 7 two cleared levels could get there.
    int pass = dice.roll(0, 7);
    int level = dice.roll(0, pass == 7 ? 45 : 49);
    std::string pw = password_of(level, pass, dice.roll(0, 1023), dice.roll(0, 5), dice.roll(0, 5),
                                 dice.roll(0, 5), dice.roll(0, 1));
    for (char c : pw) w.tap(std::string(1, c));
    w.frames(2);
    w.tap("ENTER"); // the shop
    w.frames(1);
    for (int i = dice.roll(0, 3); i > 0; --i) w.tap("F" + std::to_string(dice.roll(2, 4)));
    w.tap("SPACE"); // the level
    w.frames(1);

    bool held[PLAY_KEY_COUNT] = {};
    long play = dice.roll(600, 4000);
    while (play > 0 && w.left() > 0) {
        int k = dice.roll(0, PLAY_KEY_COUNT - 1);
        held[k] = !held[k];
        w.line(std::string(held[k] ? "press " : "release ") + PLAY_KEYS[k]);
        long n = dice.roll(1, 40);
        w.frames(n);
        play -= n;
    }
    for (int k = 0; k < PLAY_KEY_COUNT; ++k)
        if (held[k]) w.line(std::string("release ") + PLAY_KEYS[k]);
    w.frames(1);
    w.tap("ESCAPE"); // back to the menu, from play or from the shop
    w.frames(2);
}

} // namespace

long soak_samples(const SoakPlan& plan) {
    return plan.sample_every > 0 ? plan.frames / plan.sample_every : 0;
}

std::string demo_script(const SoakPlan& plan) {
    ScriptWriter w(plan);
    w.line("# the menu's demonstration");
    w.tap("SPACE");
    w.frames(plan.frames);
    return w.text();
}

std::string play_script(const SoakPlan& plan) {
    ScriptWriter w(plan);
    Dice dice(plan.seed);
    w.line("# play on levels reached by passwords, random keys of both players");
    w.tap("SPACE");
    w.frames(2);
    while (w.left() > 0) play_round(w, dice);
    return w.text();
}
