#include "game/shop.h"

#include <algorithm>

#include "world/globals.h"

namespace {

const int MAX_SHIPS = 99;
const int MAX_LEVEL = 5;

// Raises one upgrade of both players when ship 0's level allows and money suffices.
// Ship 1 follows ship 0 without a test of its own, so it is capped here.
void buy_upgrade(int key, int32_t ship::*level, const int32_t (&prices)[5]) {
    if (!engine->Input_KeyDown(key)) return;
    int current = ship_records[0].*level;
    if (current < 0 || current >= MAX_LEVEL || money < prices[current]) return;
    engine->Effect_Play(snd_upgrade);
    money -= prices[current];
    for (int i = 0; i < 2; ++i)
        ship_records[i].*level = std::min(ship_records[i].*level + 1, MAX_LEVEL);
}

// COMPETITION: one rival's own purchase from its own purse.
bool pay(int& credits, int price) {
    if (credits < price) return false;
    engine->Effect_Play(snd_upgrade);
    credits -= price;
    return true;
}

void rival_upgrade(int key, ship& s, int& credits, int32_t ship::*level,
                   const int32_t (&prices)[5]) {
    int current = s.*level;
    if (!engine->Input_KeyDown(key) || current < 0 || current >= MAX_LEVEL) return;
    if (pay(credits, prices[current])) s.*level += 1;
}

void rival_purchases(int p, const int (&keys)[4]) {
    ship& s = ship_records[p];
    int& credits = purse[p];
    if (engine->Input_KeyDown(keys[0]) && s.ships < MAX_SHIPS && pay(credits, settings.price_ships))
        s.ships += 1;
    rival_upgrade(keys[1], s, credits, &ship::flexibility, settings.price_flexibility);
    rival_upgrade(keys[2], s, credits, &ship::firepower, settings.price_firepower);
    rival_upgrade(keys[3], s, credits, &ship::shield, settings.price_shield);
}

} // namespace

void shop_purchases() {
    if (competing()) {
        rival_purchases(0, {HGEK_F1, HGEK_F2, HGEK_F3, HGEK_F4});
        rival_purchases(1, {HGEK_0 + 1, HGEK_0 + 2, HGEK_0 + 3, HGEK_0 + 4});
        return;
    }
    ship& s0 = ship_records[0];
    if (engine->Input_KeyDown(HGEK_F1) && s0.ships < MAX_SHIPS && money >= settings.price_ships) {
        engine->Effect_Play(snd_upgrade);
        money -= settings.price_ships;
        s0.ships += 1;
    }
    buy_upgrade(HGEK_F2, &ship::flexibility, settings.price_flexibility);
    buy_upgrade(HGEK_F3, &ship::firepower, settings.price_firepower);
    buy_upgrade(HGEK_F4, &ship::shield, settings.price_shield);
}
