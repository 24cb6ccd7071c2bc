#include "game/hud.h"

#include <algorithm>

namespace {

const float REFUSED_TIME = 1.5f;

void count_down(float& t, float dt) {
    if (t > 0) t = std::max(0.0f, t - dt);
}

} // namespace

void hud_frame(Hud& hud, const World& w, float dt) {
    if (w.game_state == STATE_MENU) count_down(hud.invalid_password_time, dt);
    for (const Event& e : w.events) {
        if (e.kind == EVENT_PASSWORD_REFUSED) hud.invalid_password_time = REFUSED_TIME;
        if (e.kind != EVENT_LEVEL_START) continue;
        for (int v = 0; v < 2; ++v) {
            hud.armor_flash[v] = 0;
            hud.last_armor[v] = w.ship_records[v].armor;
        }
    }
    if (w.game_state != STATE_PLAY || w.paused) return;
    for (int v = 0; v < 2; ++v) {
        count_down(hud.armor_flash[v], dt);
        int armor = w.ship_records[v].armor;
        // A hit that takes armor away, whether or not it destroys the ship.
        if (armor < hud.last_armor[v]) hud.armor_flash[v] = ARMOR_FLASH_TIME;
        hud.last_armor[v] = armor;
    }
}
