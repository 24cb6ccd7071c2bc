#include "main/app.h"

#include "game/hud.h"
#include "game/states.h"
#include "render/render.h"
#include "render/resources.h"

App app;

bool app_frame(App& a, const KeyFrame& keys, float dt) {
    if (a.hud.options.open) {
        OptionsOutcome outcome =
            options_frame(a.hud.options, a.options, a.world.file_settings, keys, engine);
        if (outcome == OPTIONS_KEYS_CHANGED) apply_key_bindings(a.world, a.options);
        if (outcome == OPTIONS_CLOSED && a.save_options) save_options(engine, a.options);
        return false;
    }
    // Escape in the same frame leaves the game instead. Online, both machines
    // run the menu: one player's Tab would change the other's options too.
    if (a.world.game_state == STATE_MENU && !a.hud.online && keys.went_down(HGEK_TAB) &&
        !keys.went_down(HGEK_ESCAPE)) {
        open_options(a.hud.options);
        return false;
    }
    bool ended = simulate(a.world, keys, dt);
    take_events(a, dt);
    return ended;
}

void take_events(App& a, float dt) {
    play_events(a.world.events, a.intro_channel);
    hud_frame(a.hud, a.world, dt);
}

void use_options(App& a, const player_options& o) {
    a.options = o;
    apply_key_bindings(a.world, a.options);
}

bool frame_func() {
    KeyFrame keys;
    read_key_frame(engine, keys);
    return app_frame(app, keys, engine->Timer_GetDelta());
}

bool render_func() {
    render_frame({app.world, app.options, app.hud});
    return false;
}
