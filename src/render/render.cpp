#include "render/render.h"

#include <cmath>

#include "world/globals.h"
#include "render/aids.h"
#include "render/screens.h"
#include "world/options.h"

namespace {

// Pictures are drawn facing right; this turns the own heading to screen up.
const float HALF_PI = 1.5707964f;

// A radar blip: the classic dot, or the readable radar's in play.
void draw_blip(float x, float y, bool partner) {
    if (aid_on(AID_RADAR) && game_state == STATE_PLAY)
        draw_aid_blip(x, y, partner);
    else if (sprite_dot)
        sprite_dot->render(x, y);
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

void draw_explosions(std::vector<kaboom>& list, int v) {
    for (kaboom& k : list) {
        if (v == 0)
            k.anim.render(k.view0_x, k.view0_y);
        else
            k.anim.render(k.view1_x, k.view1_y);
    }
}

void draw_partner(const ship& own, const ship& partner, int v) {
    if (partner.armor < 0) return;
    Sprite* sprite = v == 0 ? sprite_ship1 : sprite_ship0;
    if (own.partner_visible && sprite)
        sprite->render_transformed(own.partner_screen_x, own.partner_screen_y,
                                   partner.angle - own.angle - HALF_PI, 1.0f, 0.0f);
    draw_blip(own.partner_radar_x, own.partner_radar_y, true);
}

void draw_enemies(int v, float own_angle) {
    for (const enemy& e : enemy_list) {
        // The kind indexes the picture table: an unknown kind has no picture.
        Animation* picture = e.kind >= 0 && e.kind < KIND_COUNT ? images[e.kind] : nullptr;
        if (e.visible[v] && picture)
            picture->render_transformed(e.screen_x[v], e.screen_y[v],
                                        e.angle - own_angle - HALF_PI, 1.0f, 0.0f);
        draw_blip(e.radar_x[v], e.radar_y[v], false);
    }
}

// The white columns between the two views. Drawn every frame: the screen
// keeps nothing from the frame before.
void draw_gap() {
    float x1 = static_cast<float>(half_width), x2 = x1 + 2.0f;
    float h = static_cast<float>(engine->System_GetStateInt(HGE_SCREENHEIGHT));
    hgeQuad q;
    const float xs[4] = {x1, x2, x2, x1}, ys[4] = {0.0f, 0.0f, h, h};
    for (int i = 0; i < 4; ++i) q.v[i] = {xs[i], ys[i], 0.5f, 0xFFFFFFFF, 0.0f, 0.0f};
    q.tex = 0;
    q.blend = BLEND_DEFAULT;
    engine->Gfx_RenderQuad(&q);
}

// The two view pictures side by side, or the one full-width picture.
void screen_pass() {
    engine->Gfx_BeginScene(0);
    if (in_menu() || game_mode != MODE_ONE_PLAYER) {
        if (clear_screen_once) {
            clear_screen_once = false;
            engine->Gfx_Clear(0xFFFFFFFF);
        }
        if (view_sprite[0]) view_sprite[0]->render(static_cast<float>(half_width + 2), 0.0f);
        if (view_sprite[1]) view_sprite[1]->render(0.0f, 0.0f);
        draw_gap();
    } else {
        if (view_sprite[0]) view_sprite[0]->render(0.0f, 0.0f);
    }
    if (in_menu()) {
        draw_menu_texts();
        draw_menu_aids();
    }
    engine->Gfx_EndScene();
}

void draw_logo() {
    engine->Gfx_BeginScene(0);
    engine->Gfx_Clear(0);
    if (sprite_logo) {
        float screen_w = static_cast<float>(engine->System_GetStateInt(HGE_SCREENWIDTH));
        float screen_h = static_cast<float>(engine->System_GetStateInt(HGE_SCREENHEIGHT));
        sprite_logo->render((screen_w - sprite_logo->get_width()) / 2,
                            (screen_h - sprite_logo->get_height()) / 2);
    }
    draw_title_aids();
    engine->Gfx_EndScene();
}

void draw_text_screen(void (*draw_texts)()) {
    engine->Gfx_BeginScene(0);
    engine->Gfx_Clear(0);
    draw_texts();
    engine->Gfx_EndScene();
}

void draw_game_over_screen() {
    draw_game_over_texts();
    draw_game_over_aids();
}

} // namespace

void draw_stars(float cam_x, float cam_y, float side_x, float side_y, float anchor_x,
                float anchor_y) {
    if (!sprite_star) return;
    float w = settings.star_maxx - settings.star_minx;
    float h = settings.star_maxy - settings.star_miny;
    // An empty star box has no period: such an axis is left unwrapped rather than NaN.
    bool wrap_x = w > 0.0f, wrap_y = h > 0.0f;
    float c_x = wrap_x ? std::fmod(cam_x, w) : cam_x;
    float c_y = wrap_y ? std::fmod(cam_y, h) : cam_y;
    for (const star& s : stars) {
        float x = s.x, y = s.y;
        if (wrap_x) {
            if (x > c_x + w / 2)
                x -= w;
            else if (x < c_x - w / 2)
                x += w;
        }
        if (wrap_y) {
            if (y > c_y + h / 2)
                y -= h;
            else if (y < c_y - h / 2)
                y += h;
        }
        float dx = x - c_x, dy = y - c_y;
        sprite_star->render(anchor_x + dx * side_x + dy * side_y,
                            anchor_y - dx * side_y + dy * side_x);
    }
}

void draw_view(int v, int own, int partner, bool with_partner) {
    if (v < 0 || v > 1 || own < 0 || own > 3 || partner < 0 || partner > 3) return;
    // Without a target the view would land on the screen; there is nothing to draw into.
    if (!view_target[v]) return;
    const ship& s = ship_records[own];
    const ship& p = ship_records[partner];
    engine->Gfx_BeginScene(view_target[v]);
    engine->Gfx_Clear(0);
    draw_stars(s.x, s.y, s.side_x, s.side_y, anchor_x(v), anchor_y(v));
    draw_bullets(sprite_player_bullet, player_bullets[v], v, s.angle, true);
    draw_bullets(sprite_enemy_bullet, enemy_bullets, v, s.angle, false);
    if (with_partner) {
        draw_bullets(sprite_player_bullet, player_bullets[1 - v], v, s.angle, false);
        draw_partner(s, p, v);
    }
    draw_explosions(small_list, v);
    draw_enemies(v, s.angle);
    Sprite* own_sprite = v == 0 ? sprite_ship0 : sprite_ship1;
    if (s.armor >= 0 && own_sprite)
        own_sprite->render_transformed(anchor_x(v), anchor_y(v), -HALF_PI, 1.0f, 0.0f);
    draw_explosions(big_list, v);
    draw_view_aids(v, own);
    engine->Gfx_EndScene();
}

bool render_func() {
    // Any other state draws nothing; checked first so the cast stays in the enum's range.
    if (game_state < STATE_TITLE || game_state > STATE_GAME_OVER) return false;
    switch (static_cast<GameState>(game_state)) {
    case STATE_TITLE:
        draw_logo();
        break;
    case STATE_MENU:
        if (options_open) {
            draw_text_screen(draw_options_screen);
            break;
        }
        draw_view(0, 2, 3, true);
        draw_view(1, 3, 2, true);
        screen_pass();
        break;
    case STATE_PLAY: {
        bool two_players = game_mode != MODE_ONE_PLAYER;
        draw_view(0, 0, 1, two_players);
        if (two_players) draw_view(1, 1, 0, true);
        screen_pass();
        break;
    }
    case STATE_SHOP:
        draw_text_screen(draw_shop_texts);
        break;
    case STATE_GAME_OVER:
        draw_text_screen(draw_game_over_screen);
        break;
    }
    return false;
}
