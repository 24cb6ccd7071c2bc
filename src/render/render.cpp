#include "render/render.h"

#include <cmath>
#include <cstdio>

#include "render/aids.h"
#include "render/resources.h"
#include "render/screens.h"
#include "render/shapes.h"

namespace {

// Pictures are drawn facing right; this turns the own heading to screen up.
const float HALF_PI = 1.5707964f;

// A radar blip: the classic dot, or the readable radar's in play.
void draw_blip(const Scene& sc, float x, float y, bool partner) {
    if (aid_on(sc.options, AID_RADAR) && sc.world.game_state == STATE_PLAY)
        draw_aid_blip(x, y, partner);
    else if (resources.sprite_dot)
        resources.sprite_dot->render(x, y);
}

void draw_bullets(Sprite* sprite, const std::vector<bullet>& list, int v, float own_angle,
                  bool all) {
    if (!sprite) return;
    for (const bullet& b : list) {
        if (!all && b.visible[v] == 0.0f) continue;
        sprite->render_transformed(b.screen_x[v], b.screen_y[v], b.angle - own_angle - HALF_PI,
                                   1.0f, 0.0f);
    }
}

// Each explosion shows its own clock's frame of the shared picture.
void draw_explosions(Animation* picture, const std::vector<kaboom>& list, int v) {
    if (!picture) return;
    for (const kaboom& k : list) {
        picture->set_frame(k.anim.frame);
        if (v == 0)
            picture->render(k.view0_x, k.view0_y);
        else
            picture->render(k.view1_x, k.view1_y);
    }
}

// An untouchable ship blinks: its picture is shown or hidden, in both views.
Sprite* ship_sprite(const World& w, int v) {
    Sprite* sprite = v == 0 ? resources.sprite_ship0 : resources.sprite_ship1;
    if (sprite) sprite->set_color(w.ship_shown[v] ? 0xFFFFFFFFu : 0x00000000u, -1);
    return sprite;
}

void draw_partner(const Scene& sc, const ship& own, const ship& partner, int v) {
    if (partner.armor < 0) return;
    Sprite* sprite = ship_sprite(sc.world, 1 - v);
    if (own.partner_visible && sprite)
        sprite->render_transformed(own.partner_screen_x, own.partner_screen_y,
                                   partner.angle - own.angle - HALF_PI, 1.0f, 0.0f);
    draw_blip(sc, own.partner_radar_x, own.partner_radar_y, true);
}

// The picture of an enemy kind, at its looping clock's frame where it has one.
Animation* enemy_picture(const World& w, int kind) {
    // The kind indexes the picture table: an unknown kind has no picture.
    if (kind < 0 || kind >= KIND_COUNT) return nullptr;
    Animation* picture = resources.images[kind];
    if (picture && kind == KIND_CHIKENROCKET) picture->set_frame(w.loops[0].frame);
    if (picture && kind == KIND_DRAGONFLY) picture->set_frame(w.loops[1].frame);
    return picture;
}

void draw_enemies(const Scene& sc, int v, float own_angle) {
    for (const enemy& e : sc.world.enemy_list) {
        Animation* picture = enemy_picture(sc.world, e.kind);
        if (e.visible[v] && picture)
            picture->render_transformed(e.screen_x[v], e.screen_y[v],
                                        e.angle - own_angle - HALF_PI, 1.0f, 0.0f);
        draw_blip(sc, e.radar_x[v], e.radar_y[v], false);
    }
}

// The two view pictures side by side with the white gap between them, or the
// one full-width picture. The screen keeps nothing from the frame before, so
// every frame draws all of it.
void screen_pass(const Scene& sc) {
    const World& w = sc.world;
    Sprite* const* views = resources.view_sprite;
    engine->Gfx_BeginScene(0);
    if (in_menu(w) || w.game_mode != MODE_ONE_PLAYER) {
        if (views[0]) views[0]->render(static_cast<float>(half_width(w) + 2), 0.0f);
        if (views[1]) views[1]->render(0.0f, 0.0f);
        const float gap = static_cast<float>(half_width(w));
        fill_rect(gap, 0, gap + 2, static_cast<float>(w.screen_height), 0xFFFFFFFF);
    } else {
        if (views[0]) views[0]->render(0.0f, 0.0f);
    }
    if (in_menu(w)) {
        draw_menu_texts(sc);
        draw_menu_aids(sc);
    }
    engine->Gfx_EndScene();
}

void draw_logo(const Scene& sc) {
    Sprite* logo = resources.sprite_logo;
    engine->Gfx_BeginScene(0);
    engine->Gfx_Clear(0);
    if (logo) {
        float screen_w = static_cast<float>(sc.world.screen_width);
        float screen_h = static_cast<float>(sc.world.screen_height);
        logo->render((screen_w - logo->get_width()) / 2, (screen_h - logo->get_height()) / 2);
    }
    draw_title_aids(sc);
    // An online session waits from the title too.
    if (const char* notice = notice_text(sc)) {
        TextLine line;
        std::snprintf(line.text, sizeof line.text, "%.79s", notice);
        line.x = NOTICE_X, line.y = NOTICE_Y, line.align = TEXT_CENTER;
        draw_on_panels(resources.font1, &line, 1);
    }
    engine->Gfx_EndScene();
}

void draw_text_screen(const Scene& sc, void (*draw_texts)(const Scene&)) {
    engine->Gfx_BeginScene(0);
    engine->Gfx_Clear(0);
    draw_texts(sc);
    engine->Gfx_EndScene();
}

void draw_game_over_screen(const Scene& sc) {
    draw_game_over_texts(sc.world);
    draw_game_over_aids(sc);
}

void draw_shop_screen(const Scene& sc) {
    draw_shop_texts(sc.world);
}

} // namespace

void draw_stars(const World& w, float cam_x, float cam_y, float side_x, float side_y,
                float anchor_x, float anchor_y) {
    Sprite* sprite = resources.sprite_star;
    if (!sprite) return;
    float bw = w.settings.star_maxx - w.settings.star_minx;
    float bh = w.settings.star_maxy - w.settings.star_miny;
    // An empty star box has no period: such an axis is left unwrapped rather than NaN.
    bool wrap_x = bw > 0.0f, wrap_y = bh > 0.0f;
    float c_x = wrap_x ? std::fmod(cam_x, bw) : cam_x;
    float c_y = wrap_y ? std::fmod(cam_y, bh) : cam_y;
    for (const star& s : w.stars) {
        float x = s.x, y = s.y;
        if (wrap_x) {
            if (x > c_x + bw / 2)
                x -= bw;
            else if (x < c_x - bw / 2)
                x += bw;
        }
        if (wrap_y) {
            if (y > c_y + bh / 2)
                y -= bh;
            else if (y < c_y - bh / 2)
                y += bh;
        }
        float dx = x - c_x, dy = y - c_y;
        sprite->render(anchor_x + dx * side_x + dy * side_y, anchor_y - dx * side_y + dy * side_x);
    }
}

void draw_view(const Scene& sc, int v, int own, int partner, bool with_partner) {
    if (v < 0 || v > 1 || own < 0 || own > 3 || partner < 0 || partner > 3) return;
    // Without a target the view would land on the screen; there is nothing to draw into.
    if (!resources.view_target[v]) return;
    const World& w = sc.world;
    const ship& s = w.ship_records[own];
    const ship& p = w.ship_records[partner];
    engine->Gfx_BeginScene(resources.view_target[v]);
    engine->Gfx_Clear(0);
    draw_stars(w, s.x, s.y, s.side_x, s.side_y, anchor_x(w, v), anchor_y(w, v));
    draw_bullets(resources.sprite_player_bullet, w.player_bullets[v], v, s.angle, true);
    draw_bullets(resources.sprite_enemy_bullet, w.enemy_bullets, v, s.angle, false);
    if (with_partner) {
        draw_bullets(resources.sprite_player_bullet, w.player_bullets[1 - v], v, s.angle, false);
        draw_partner(sc, s, p, v);
    }
    draw_explosions(resources.boom_anim, w.small_list, v);
    draw_enemies(sc, v, s.angle);
    Sprite* own_sprite = ship_sprite(w, v);
    if (s.armor >= 0 && own_sprite)
        own_sprite->render_transformed(anchor_x(w, v), anchor_y(w, v), -HALF_PI, 1.0f, 0.0f);
    draw_explosions(resources.kaboom_anim, w.big_list, v);
    draw_view_aids(sc, v, own);
    engine->Gfx_EndScene();
}

void render_frame(const Scene& sc) {
    const World& w = sc.world;
    // Any other state draws nothing; checked first so the cast stays in the enum's range.
    if (w.game_state < STATE_TITLE || w.game_state > STATE_GAME_OVER) return;
    fit_views(w);
    switch (static_cast<GameState>(w.game_state)) {
    case STATE_TITLE: draw_logo(sc); break;
    case STATE_MENU:
        if (sc.hud.options.open) {
            draw_text_screen(sc, draw_options_screen);
            break;
        }
        draw_view(sc, 0, 2, 3, true);
        draw_view(sc, 1, 3, 2, true);
        screen_pass(sc);
        break;
    case STATE_PLAY: {
        bool two_players = w.game_mode != MODE_ONE_PLAYER;
        draw_view(sc, 0, 0, 1, two_players);
        if (two_players) draw_view(sc, 1, 1, 0, true);
        screen_pass(sc);
        break;
    }
    case STATE_SHOP: draw_text_screen(sc, draw_shop_screen); break;
    case STATE_GAME_OVER: draw_text_screen(sc, draw_game_over_screen); break;
    }
}
