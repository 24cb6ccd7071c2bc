#include "game/shop.h"

#include <algorithm>

#include "world/world.h"

namespace {

const int MAX_SHIPS = 99;
const int MAX_LEVEL = 5;

// Raises one upgrade of both players when ship 0's level allows and money suffices.
// Ship 1 follows ship 0 without a test of its own, so it is capped here.
void buy_upgrade(World& w, const KeyFrame& keys, int key, int32_t ship::*level,
                 const int32_t (&prices)[5]) {
    if (!keys.went_down(key)) return;
    int current = w.ship_records[0].*level;
    if (current < 0 || current >= MAX_LEVEL || w.money < prices[current]) return;
    play_sound(w, SOUND_UPGRADE);
    w.money -= prices[current];
    for (int i = 0; i < 2; ++i)
        w.ship_records[i].*level = std::min(w.ship_records[i].*level + 1, MAX_LEVEL);
}

// COMPETITION: one rival's own purchase from its own purse.
bool pay(World& w, int& credits, int price) {
    if (credits < price) return false;
    play_sound(w, SOUND_UPGRADE);
    credits -= price;
    return true;
}

void rival_upgrade(World& w, const KeyFrame& keys, int key, ship& s, int& credits,
                   int32_t ship::*level, const int32_t (&prices)[5]) {
    int current = s.*level;
    if (!keys.went_down(key) || current < 0 || current >= MAX_LEVEL) return;
    if (pay(w, credits, prices[current])) s.*level += 1;
}

void rival_purchases(World& w, const KeyFrame& keys, int p, const int (&ks)[4]) {
    ship& s = w.ship_records[p];
    int& credits = w.purse[p];
    if (keys.went_down(ks[0]) && s.ships < MAX_SHIPS && pay(w, credits, w.settings.price_ships))
        s.ships += 1;
    rival_upgrade(w, keys, ks[1], s, credits, &ship::flexibility, w.settings.price_flexibility);
    rival_upgrade(w, keys, ks[2], s, credits, &ship::firepower, w.settings.price_firepower);
    rival_upgrade(w, keys, ks[3], s, credits, &ship::shield, w.settings.price_shield);
}

} // namespace

void shop_purchases(World& w, const KeyFrame& keys) {
    if (competing(w)) {
        rival_purchases(w, keys, 0, {HGEK_F1, HGEK_F2, HGEK_F3, HGEK_F4});
        rival_purchases(w, keys, 1, {HGEK_0 + 1, HGEK_0 + 2, HGEK_0 + 3, HGEK_0 + 4});
        return;
    }
    ship& s0 = w.ship_records[0];
    if (keys.went_down(HGEK_F1) && s0.ships < MAX_SHIPS && w.money >= w.settings.price_ships) {
        play_sound(w, SOUND_UPGRADE);
        w.money -= w.settings.price_ships;
        s0.ships += 1;
    }
    buy_upgrade(w, keys, HGEK_F2, &ship::flexibility, w.settings.price_flexibility);
    buy_upgrade(w, keys, HGEK_F3, &ship::firepower, w.settings.price_firepower);
    buy_upgrade(w, keys, HGEK_F4, &ship::shield, w.settings.price_shield);
}
