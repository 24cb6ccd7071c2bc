#include "render/render.h"

#include "gfx/font.h"
#include "render/screens.h"
#include "render_fixture.h"

namespace {

struct Point {
    float x, y;
};

// The point a quad was drawn at: its hot spot, found from the turned edges,
// so it holds for any rotation.
Point hot_point(const hgeQuad& q, float w, float h, float hot_x, float hot_y) {
    float ux = (q.v[1].x - q.v[0].x) / w, uy = (q.v[1].y - q.v[0].y) / w;
    float vx = (q.v[3].x - q.v[0].x) / h, vy = (q.v[3].y - q.v[0].y) / h;
    return {q.v[0].x + ux * hot_x + vx * hot_y, q.v[0].y + uy * hot_x + vy * hot_y};
}

// Where the picture's right-hand side (its nose) points on the screen, radians.
float facing(const hgeQuad& q) { return std::atan2(q.v[1].y - q.v[0].y, q.v[1].x - q.v[0].x); }

// Angles equal modulo a full turn.
bool same_angle(float a, float b) {
    float d = std::remainder(a - b, 6.2831855f);
    return std::fabs(d) < 1e-4f;
}

const float PI = 3.1415927f;

class RenderTest : public RenderFixture {
  protected:
    std::vector<std::unique_ptr<Sprite>> owned_sprites;
    std::vector<std::unique_ptr<Animation>> owned_anims;
    std::vector<std::unique_ptr<Font>> owned_fonts;
    HTEXTURE t_star = 0, t_pbullet = 0, t_ebullet = 0, t_ship0 = 0, t_ship1 = 0, t_dot = 0;
    HTEXTURE t_enemy = 0, t_small = 0, t_big = 0, t_logo = 0;
    HTEXTURE t_view[2] = {0, 0};

    void SetUp() override {
        RenderFixture::SetUp();
        fake.textures["logo.png"] = {1024, 512};
        t_star = tex("star.png");
        t_pbullet = tex("pbullet.png");
        t_ebullet = tex("ebullet.png");
        t_ship0 = tex("ship0.png");
        t_ship1 = tex("ship1.png");
        t_dot = tex("dot.png");
        t_enemy = tex("enemy.png");
        t_small = tex("boom.png");
        t_big = tex("kaboom.png");
        t_logo = tex("logo.png");
        resources.sprite_star = sprite(t_star, 0, 0, 2, 2, 0, 0);
        resources.sprite_player_bullet = sprite(t_pbullet, 78, 0, 20, 10, 17, 5);
        resources.sprite_enemy_bullet = sprite(t_ebullet, 51, 0, 22, 8, 18, 4);
        resources.sprite_ship0 = sprite(t_ship0, 0, 0, 30, 20, 15, 10);
        resources.sprite_ship1 = sprite(t_ship1, 0, 0, 30, 20, 15, 10);
        resources.sprite_dot = sprite(t_dot, 0, 0, 2, 2, 0, 0);
        resources.sprite_logo = sprite(t_logo, 0, 0, 640, 400, 0, 0);
        resources.images[KIND_BULL] = anim(t_enemy, 40, 40, 20, 20);
        resources.boom_anim = anim(t_small, 16, 16, 8, 8);
        resources.kaboom_anim = anim(t_big, 64, 64, 32, 32);
        make_view(0, 399);
        make_view(1, 399);
        w.view_width[0] = 399; // the target just made fits: render_frame keeps it
    }

    HTEXTURE tex(const char* name) { return fake.Texture_Load(name, 0, false); }

    Sprite* sprite(HTEXTURE t, float x, float y, float w, float h, float hx, float hy) {
        owned_sprites.emplace_back(new Sprite(t, x, y, w, h));
        owned_sprites.back()->set_hot_spot(hx, hy);
        return owned_sprites.back().get();
    }

    Animation* anim(HTEXTURE t, float w, float h, float hx, float hy) {
        owned_anims.emplace_back(new Animation(t, 1, 10, 0, 0, w, h));
        owned_anims.back()->set_hot_spot(hx, hy);
        return owned_anims.back().get();
    }

    // A font whose only glyph is "?", 8 x 10: every byte draws one 8-wide quad.
    Font* font(const char* name) {
        std::string path = std::string("data/") + name + ".fnt";
        fake.files[path] = std::string("[HGEFONT]\nBitmap=") + name + ".png\n" +
                           "Char=\"?\",0,0,8,10,0,0\n";
        owned_fonts.emplace_back(new Font(path.c_str()));
        return owned_fonts.back().get();
    }

    void make_view(int v, int width) {
        resources.view_target[v] = fake.Target_Create(width, 590, false);
        t_view[v] = fake.Target_GetTexture(resources.view_target[v]);
        resources.view_sprite[v] = sprite(t_view[v], 0, 0, static_cast<float>(width), 590, 0, 0);
    }

    static void head(ship& s, float x, float y, float angle) {
        s.x = x;
        s.y = y;
        s.angle = angle;
        s.side_x = -std::sin(angle);
        s.side_y = std::cos(angle);
    }

    static bullet make_bullet(float angle, float x0, float y0, float vis0, float x1, float y1,
                              float vis1) {
        bullet b{};
        b.angle = angle;
        b.screen_x[0] = x0;
        b.screen_y[0] = y0;
        b.visible[0] = vis0;
        b.screen_x[1] = x1;
        b.screen_y[1] = y1;
        b.visible[1] = vis1;
        return b;
    }

    static kaboom make_kaboom(int frame, float x0, float y0, float x1, float y1) {
        AnimClock clock;
        clock.frame = frame;
        return kaboom{0, 0, x0, y0, x1, y1, -1.0f, clock};
    }

    // One of everything, for ships a and b (0/1 in play, 2/3 in the menu).
    void full_scene(int a, int b) {
        head(w.ship_records[a], 500, 500, 0.3f);
        head(w.ship_records[b], 700, 900, 2.0f);
        ship& s = w.ship_records[a];
        s.partner_screen_x = 150;
        s.partner_screen_y = 120;
        s.partner_radar_x = 190;
        s.partner_radar_y = 390;
        s.partner_visible = true;
        ship& p = w.ship_records[b];
        p.partner_screen_x = 250;
        p.partner_screen_y = 220;
        p.partner_radar_x = 195;
        p.partner_radar_y = 380;
        p.partner_visible = true;
        w.stars.push_back({500, 500});
        w.player_bullets[0].push_back(make_bullet(1.0f, 10, 11, 0.0f, 110, 111, 1.0f));
        w.enemy_bullets.push_back(make_bullet(1.5f, 20, 21, 1.0f, 120, 121, 0.0f));
        w.player_bullets[1].push_back(make_bullet(2.5f, 30, 31, 1.0f, 130, 131, 0.0f));
        enemy e{};
        e.kind = KIND_BULL;
        e.angle = 0.8f;
        e.screen_x[0] = 40;
        e.screen_y[0] = 41;
        e.radar_x[0] = 42;
        e.radar_y[0] = 43;
        e.visible[0] = true;
        e.screen_x[1] = 140;
        e.screen_y[1] = 141;
        e.radar_x[1] = 142;
        e.radar_y[1] = 143;
        e.visible[1] = false;
        w.enemy_list.push_back(e);
        w.small_list.push_back(make_kaboom(0, 50, 51, 150, 151));
        w.big_list.push_back(make_kaboom(0, 60, 61, 160, 161));
    }
};

TEST_F(RenderTest, LogoIsCentredOnABlackScreen) {
    w.game_state = STATE_TITLE;
    render();
    ASSERT_EQ(fake.events.size(), 4u);
    EXPECT_EQ(fake.events[0].kind, SceneEvent::BEGIN);
    EXPECT_EQ(fake.events[0].target, 0u);
    EXPECT_EQ(fake.events[1].kind, SceneEvent::CLEAR);
    EXPECT_EQ(fake.events[1].color, 0u);
    ASSERT_EQ(fake.events[2].kind, SceneEvent::QUAD);
    EXPECT_EQ(fake.events[2].quad.tex, t_logo);
    EXPECT_FLOAT_EQ(fake.events[2].quad.v[0].x, 80);
    EXPECT_FLOAT_EQ(fake.events[2].quad.v[0].y, 95);
    EXPECT_EQ(fake.events[3].kind, SceneEvent::END);

    // Another window size moves it with the centre.
    fake.events.clear();
    w.screen_width = 1000;
    w.screen_height = 600;
    render();
    EXPECT_FLOAT_EQ(fake.events[2].quad.v[0].x, 180);
    EXPECT_FLOAT_EQ(fake.events[2].quad.v[0].y, 100);
}

TEST_F(RenderTest, ViewPassDrawsInPaintersOrder) {
    w.game_mode = MODE_TEAMWORK;
    full_scene(0, 1);
    render();

    std::vector<HTEXTURE> expected = {t_star,  t_pbullet, t_ebullet, t_pbullet,
                                      t_ship1, t_dot,     t_small,   t_enemy,
                                      t_dot,   t_ship0,   t_big};
    EXPECT_EQ(fake.textures_in(resources.view_target[0]), expected);
    std::vector<hgeQuad> q = fake.quads_in(resources.view_target[0]);
    ASSERT_EQ(q.size(), expected.size());

    // The scene is cleared to black before anything is drawn.
    ASSERT_GE(fake.events.size(), 2u);
    EXPECT_EQ(fake.events[0].kind, SceneEvent::BEGIN);
    EXPECT_EQ(fake.events[0].target, resources.view_target[0]);
    EXPECT_EQ(fake.events[1].kind, SceneEvent::CLEAR);
    EXPECT_EQ(fake.events[1].color, 0u);

    // The star under the camera sits on the anchor.
    EXPECT_TRUE(near(q[0].v[0].x, 200) && near(q[0].v[0].y, 400));
    // Own bullet though flagged outside, then the enemy's, then the partner's.
    Point own = hot_point(q[1], 20, 10, 17, 5);
    EXPECT_TRUE(near(own.x, 10) && near(own.y, 11));
    Point eb = hot_point(q[2], 22, 8, 18, 4);
    EXPECT_TRUE(near(eb.x, 20) && near(eb.y, 21));
    Point pb = hot_point(q[3], 20, 10, 17, 5);
    EXPECT_TRUE(near(pb.x, 30) && near(pb.y, 31));
    Point partner = hot_point(q[4], 30, 20, 15, 10);
    EXPECT_TRUE(near(partner.x, 150) && near(partner.y, 120));
    EXPECT_TRUE(near(q[5].v[0].x, 190) && near(q[5].v[0].y, 390));
    EXPECT_TRUE(near(q[6].v[0].x, 50 - 8) && near(q[6].v[0].y, 51 - 8));
    Point en = hot_point(q[7], 40, 40, 20, 20);
    EXPECT_TRUE(near(en.x, 40) && near(en.y, 41));
    EXPECT_TRUE(near(q[8].v[0].x, 42) && near(q[8].v[0].y, 43));
    Point self = hot_point(q[9], 30, 20, 15, 10);
    EXPECT_TRUE(near(self.x, 200) && near(self.y, 400));
    EXPECT_TRUE(near(q[10].v[0].x, 60 - 32) && near(q[10].v[0].y, 61 - 32));

    // Everything turns with the own heading (0.3): a heading equal to it points up.
    EXPECT_TRUE(same_angle(facing(q[1]), 1.0f - 0.3f - PI / 2));
    EXPECT_TRUE(same_angle(facing(q[2]), 1.5f - 0.3f - PI / 2));
    EXPECT_TRUE(same_angle(facing(q[3]), 2.5f - 0.3f - PI / 2));
    EXPECT_TRUE(same_angle(facing(q[4]), 2.0f - 0.3f - PI / 2));
    EXPECT_TRUE(same_angle(facing(q[7]), 0.8f - 0.3f - PI / 2));
    // Explosions are not turned.
    EXPECT_FLOAT_EQ(q[6].v[1].y, q[6].v[0].y);
    EXPECT_FLOAT_EQ(q[10].v[1].y, q[10].v[0].y);
}

TEST_F(RenderTest, SecondViewUsesItsOwnListsSpritesAndPositions) {
    w.game_mode = MODE_TEAMWORK;
    full_scene(0, 1);
    render();

    // Enemy bullet and enemy picture are outside view 1; the own list is drawn anyway.
    std::vector<HTEXTURE> expected = {t_star, t_pbullet, t_pbullet, t_ship0, t_dot,
                                      t_small, t_dot,    t_ship1,   t_big};
    EXPECT_EQ(fake.textures_in(resources.view_target[1]), expected);
    std::vector<hgeQuad> q = fake.quads_in(resources.view_target[1]);
    ASSERT_EQ(q.size(), expected.size());
    // Own bullets are player_bullets[1], at their view-1 place; then ship 0's.
    Point own = hot_point(q[1], 20, 10, 17, 5);
    EXPECT_TRUE(near(own.x, 130) && near(own.y, 131));
    EXPECT_TRUE(same_angle(facing(q[1]), 2.5f - 2.0f - PI / 2));
    Point pb = hot_point(q[2], 20, 10, 17, 5);
    EXPECT_TRUE(near(pb.x, 110) && near(pb.y, 111));
    Point partner = hot_point(q[3], 30, 20, 15, 10);
    EXPECT_TRUE(near(partner.x, 250) && near(partner.y, 220));
    EXPECT_TRUE(same_angle(facing(q[3]), 0.3f - 2.0f - PI / 2));
    EXPECT_TRUE(near(q[4].v[0].x, 195) && near(q[4].v[0].y, 380));
    EXPECT_TRUE(near(q[5].v[0].x, 150 - 8) && near(q[5].v[0].y, 151 - 8));
    EXPECT_TRUE(near(q[6].v[0].x, 142) && near(q[6].v[0].y, 143));
    // Own ship at the settings anchor of view 1.
    w.settings.split_screen_player1_x = 210;
    w.settings.split_screen_player1_y = 390;
    fake.events.clear();
    render();
    q = fake.quads_in(resources.view_target[1]);
    ASSERT_EQ(q.size(), expected.size());
    Point self = hot_point(q[7], 30, 20, 15, 10);
    EXPECT_TRUE(near(self.x, 210) && near(self.y, 390));
    EXPECT_TRUE(near(q[8].v[0].x, 160 - 32) && near(q[8].v[0].y, 161 - 32));

    // View 1 is drawn after view 0, the screen last.
    std::vector<HTARGET> scenes;
    for (const SceneEvent& e : fake.events)
        if (e.kind == SceneEvent::BEGIN) scenes.push_back(e.target);
    EXPECT_EQ(scenes,
              (std::vector<HTARGET>{resources.view_target[0], resources.view_target[1], 0}));
}

TEST_F(RenderTest, HiddenThingsKeepTheirRadarBlips) {
    w.game_mode = MODE_TEAMWORK;
    full_scene(0, 1);
    w.stars.clear();
    w.small_list.clear();
    w.big_list.clear();
    w.player_bullets[0].clear();
    w.player_bullets[1][0].visible[0] = 0.0f;
    w.enemy_bullets[0].visible[0] = 0.0f;
    w.enemy_list[0].visible[0] = false;
    w.ship_records[0].partner_visible = false;
    render();
    EXPECT_EQ(fake.textures_in(resources.view_target[0]),
              (std::vector<HTEXTURE>{t_dot, t_dot, t_ship0}));
}

TEST_F(RenderTest, DestroyedShipsAreNotDrawn) {
    w.game_mode = MODE_TEAMWORK;
    full_scene(0, 1);
    w.stars.clear();
    w.small_list.clear();
    w.big_list.clear();
    w.enemy_list.clear();
    w.player_bullets[0].clear();
    w.enemy_bullets.clear();
    // A destroyed partner has neither picture nor blip; its bullets still fly.
    w.ship_records[1].armor = -1;
    render();
    EXPECT_EQ(fake.textures_in(resources.view_target[0]),
              (std::vector<HTEXTURE>{t_pbullet, t_ship0}));

    // A destroyed own ship leaves the view drawing its surroundings.
    fake.events.clear();
    w.ship_records[1].armor = 0;
    w.ship_records[0].armor = -1;
    render();
    EXPECT_EQ(fake.textures_in(resources.view_target[0]),
              (std::vector<HTEXTURE>{t_pbullet, t_ship1, t_dot}));
}

TEST_F(RenderTest, UnknownEnemyKindGetsOnlyItsBlip) {
    w.game_mode = MODE_TEAMWORK;
    enemy e{};
    e.visible[0] = true;
    e.radar_x[0] = 5;
    for (int kind : {-1, static_cast<int>(KIND_COUNT), 1000, static_cast<int>(KIND_MOZG)}) {
        e.kind = kind; // KIND_MOZG has no picture loaded here
        w.enemy_list.push_back(e);
    }
    w.ship_records[0].armor = -1;
    w.ship_records[1].armor = -1;
    render();
    EXPECT_EQ(fake.textures_in(resources.view_target[0]),
              (std::vector<HTEXTURE>{t_dot, t_dot, t_dot, t_dot}));
}

TEST_F(RenderTest, OnePlayerLeavesOutThePartner) {
    w.game_mode = MODE_ONE_PLAYER;
    full_scene(0, 1);
    render();

    std::vector<HTEXTURE> expected = {t_star, t_pbullet, t_ebullet, t_small,
                                      t_enemy, t_dot,    t_ship0,   t_big};
    EXPECT_EQ(fake.textures_in(resources.view_target[0]), expected);
    EXPECT_EQ(fake.scenes_on(resources.view_target[1]), 0);

    // The one view fills the screen from its corner; the screen is not cleared.
    std::vector<hgeQuad> screen = fake.quads_in(0);
    ASSERT_EQ(screen.size(), 1u);
    EXPECT_EQ(screen[0].tex, t_view[0]);
    EXPECT_FLOAT_EQ(screen[0].v[0].x, 0);
    EXPECT_FLOAT_EQ(screen[0].v[0].y, 0);
    EXPECT_EQ(fake.clears_in(0, 0xFFFFFFFF), 0);
    EXPECT_EQ(fake.clears_in(0, 0), 0);
}

TEST_F(RenderTest, SplitScreenShowsBothViewsAndTheGapEveryFrame) {
    w.game_mode = MODE_TEAMWORK;
    render();
    std::vector<hgeQuad> screen = fake.quads_in(0);
    ASSERT_EQ(screen.size(), 3u);
    EXPECT_EQ(screen[0].tex, t_view[0]);
    EXPECT_FLOAT_EQ(screen[0].v[0].x, 401);
    EXPECT_FLOAT_EQ(screen[0].v[0].y, 0);
    EXPECT_EQ(screen[1].tex, t_view[1]);
    EXPECT_FLOAT_EQ(screen[1].v[0].x, 0);
    EXPECT_FLOAT_EQ(screen[1].v[0].y, 0);
    // The two gap columns, 399 and 400, white from top to bottom.
    EXPECT_EQ(screen[2].tex, 0u);
    for (const hgeVertex& v : screen[2].v) {
        EXPECT_EQ(v.col, 0xFFFFFFFFu);
        EXPECT_TRUE(v.x == 399 || v.x == 401) << v.x;
        EXPECT_TRUE(v.y == 0 || v.y == 590) << v.y;
    }
    // The screen keeps nothing between frames: the gap comes again in each.
    for (int frame = 0; frame < 3; ++frame) render();
    screen = fake.quads_in(0);
    ASSERT_EQ(screen.size(), 4u * 3u);
    for (size_t i = 2; i < screen.size(); i += 3) EXPECT_EQ(screen[i].tex, 0u);
}

TEST_F(RenderTest, MenuShowsTheDemoShipsWhateverTheMode) {
    w.game_state = STATE_MENU;
    w.game_mode = MODE_ONE_PLAYER;
    full_scene(2, 3);
    render();
    // The partner and its bullets are there although ONE PLAYER is chosen.
    std::vector<hgeQuad> q = fake.quads_in(resources.view_target[0]);
    ASSERT_EQ(q.size(), 11u);
    EXPECT_EQ(q[3].tex, t_pbullet);
    EXPECT_EQ(q[4].tex, t_ship1);
    Point partner = hot_point(q[4], 30, 20, 15, 10);
    EXPECT_TRUE(near(partner.x, 150) && near(partner.y, 120));
    EXPECT_TRUE(same_angle(facing(q[4]), 2.0f - 0.3f - PI / 2));
    EXPECT_EQ(fake.scenes_on(resources.view_target[1]), 1);
    std::vector<hgeQuad> screen = fake.quads_in(0);
    ASSERT_EQ(screen.size(), 3u); // the views and the gap; no font loaded: no texts
    EXPECT_FLOAT_EQ(screen[0].v[0].x, 401);
}

TEST_F(RenderTest, OwnShipPointsUpAtTheAnchorForAnyHeading) {
    w.view_anchor[0] = 400;
    w.view_anchor[1] = 400;
    for (float angle : {0.0f, 1.0f, 3.0f, 5.5f}) {
        fake.events.clear();
        head(w.ship_records[0], 300, 300, angle);
        render();
        std::vector<hgeQuad> q = fake.quads_in(resources.view_target[0]);
        ASSERT_EQ(q.size(), 1u);
        // Image 30 x 20 with hot spot (15, 10), turned a quarter left: its
        // nose (right edge) is on top, 15 above the anchor; its left side faces left.
        EXPECT_TRUE(near(q[0].v[0].x, 390) && near(q[0].v[0].y, 415)) << angle;
        EXPECT_TRUE(near(q[0].v[1].x, 390) && near(q[0].v[1].y, 385)) << angle;
        EXPECT_TRUE(near(q[0].v[2].x, 410) && near(q[0].v[2].y, 385)) << angle;
        EXPECT_TRUE(near(q[0].v[3].x, 410) && near(q[0].v[3].y, 415)) << angle;
    }
}

TEST_F(RenderTest, HeadingsAreShownRelativeToTheOwnShip) {
    w.game_mode = MODE_TEAMWORK;
    head(w.ship_records[0], 0, 0, 4.0f);
    w.ship_records[1].armor = -1;
    enemy e{};
    e.kind = KIND_BULL;
    e.visible[0] = true;
    e.screen_x[0] = 100;
    e.screen_y[0] = 100;
    // Same heading as the ship: up; a quarter turn clockwise: right; half a turn: down.
    for (float turn : {0.0f, PI / 2, PI}) {
        e.angle = 4.0f + turn;
        w.enemy_list.push_back(e);
    }
    render();
    std::vector<hgeQuad> q = fake.quads_in(resources.view_target[0]);
    ASSERT_EQ(q.size(), 7u);
    EXPECT_TRUE(same_angle(facing(q[0]), -PI / 2));
    EXPECT_TRUE(same_angle(facing(q[2]), 0.0f));
    EXPECT_TRUE(same_angle(facing(q[4]), PI / 2));
}

TEST_F(RenderTest, MissingResourcesDrawNothingAndDoNotCrash) {
    full_scene(0, 1);
    Resources& r = resources;
    r.sprite_logo = r.sprite_star = r.sprite_ship0 = r.sprite_ship1 = nullptr;
    r.sprite_enemy_bullet = r.sprite_player_bullet = r.sprite_dot = nullptr;
    resources.images[KIND_BULL] = nullptr;
    resources.view_sprite[0] = resources.view_sprite[1] = nullptr;
    for (int state = -1; state <= 5; ++state) {
        for (int mode = 0; mode <= 2; ++mode) {
            w.game_state = state;
            w.game_mode = mode;
            render();
        }
    }
    // Only the explosions own their pictures; the white gap between the views needs none.
    size_t explosions = 0;
    for (const SceneEvent& e : fake.events) {
        if (e.kind != SceneEvent::QUAD) continue;
        EXPECT_TRUE(e.quad.tex == t_small || e.quad.tex == t_big ||
                    (e.target == 0 && e.quad.tex == 0));
        explosions += e.quad.tex != 0;
    }
    EXPECT_GT(explosions, 0u);
    // Without them, nothing at all.
    fake.events.clear();
    resources.boom_anim = resources.kaboom_anim = nullptr;
    for (int state = -1; state <= 5; ++state) {
        for (int mode = 0; mode <= 2; ++mode) {
            w.game_state = state;
            w.game_mode = mode;
            render();
        }
    }
    for (const hgeQuad& q : fake.quads_in(0)) EXPECT_EQ(q.tex, 0u); // the gap alone
    EXPECT_TRUE(fake.quads_in(resources.view_target[0]).empty());
    EXPECT_TRUE(fake.quads_in(resources.view_target[1]).empty());

    // A view or ship number out of range draws nothing.
    fake.events.clear();
    draw_view(scene(), 2, 0, 1, true);
    draw_view(scene(), -1, 0, 1, true);
    draw_view(scene(), 0, 4, 1, true);
    draw_view(scene(), 1, 1, -1, true);
    EXPECT_TRUE(fake.events.empty());
    draw_view(scene(), 0, 0, 1, true);
    EXPECT_EQ(fake.scenes_on(resources.view_target[0]), 1);

    // Without targets the views are not drawn onto the screen instead.
    fake.events.clear();
    resources.view_target[0] = resources.view_target[1] = 0;
    w.game_state = STATE_MENU;
    render();
    ASSERT_EQ(fake.quads_in(0).size(), 1u); // the gap alone
    EXPECT_EQ(fake.quads_in(0)[0].tex, 0u);
    EXPECT_EQ(fake.scenes_on(0), 1);
}

TEST_F(RenderTest, OtherStatesDrawNothing) {
    full_scene(0, 1);
    for (int state : {-1, 5, 99}) {
        w.game_state = state;
        render();
    }
    EXPECT_TRUE(fake.events.empty());
}

TEST_F(RenderTest, MenuTextsLieOverTheViews) {
    w.game_state = STATE_MENU;
    w.game_mode = MODE_ONE_PLAYER;
    resources.font1 = font("font1");
    resources.font2 = font("font2");
    HTEXTURE glyph_tex = resources.font1->get_glyph('?')->get_texture();
    ASSERT_NE(glyph_tex, resources.font2->get_glyph('?')->get_texture());
    render();
    std::vector<hgeQuad> screen = fake.quads_in(0);
    // Two views and the gap, then "ONE PLAYER", "SPACE CHANGE GAMEMODE", the
    // password block and "ARROWS AND CTRL": 10 + 21 + 28 + 15 glyphs in font1;
    // then the small "TAB OPTIONS" (11) that leads to the options screen. Each
    // text stands on a dark panel drawn just before it, so the demonstration
    // behind never hides it.
    const size_t glyphs[5] = {10, 21, 28, 15, 11};
    ASSERT_EQ(screen.size(), 3u + 5u + 85u);
    EXPECT_EQ(screen[0].tex, t_view[0]);
    EXPECT_EQ(screen[1].tex, t_view[1]);
    EXPECT_EQ(screen[2].tex, 0u);
    size_t at = 3;
    for (size_t count : glyphs) {
        EXPECT_EQ(screen[at].tex, 0u) << at; // the panel
        EXPECT_EQ(screen[at].v[0].col >> 24, PANEL_COLOR >> 24);
        for (size_t i = 1; i <= count; ++i) EXPECT_EQ(screen[at + i].tex, glyph_tex);
        at += count + 1;
    }
    EXPECT_FLOAT_EQ(screen[4].v[0].x, 200 - 40); // centred
    EXPECT_FLOAT_EQ(screen[4].v[0].y, 435);
    EXPECT_LT(screen[3].v[0].x, screen[4].v[0].x); // the panel reaches past the text
    EXPECT_FLOAT_EQ(screen[37].v[0].x, 520); // "PASSWORD:" left-aligned
    EXPECT_FLOAT_EQ(screen[37].v[0].y, 435);
    EXPECT_FLOAT_EQ(screen[46].v[0].x, 520); // its second line
    EXPECT_FLOAT_EQ(screen[46].v[0].y, 445);

    // Play shows no text.
    fake.events.clear();
    w.game_state = STATE_PLAY;
    render();
    EXPECT_EQ(fake.quads_in(0).size(), 1u);
}

// The WINDOW SCALE row says so when the window's display holds less than the scale chosen.
TEST_F(RenderTest, TheScaleRowSaysWhatFits) {
    w.game_state = STATE_MENU;
    hud.options.open = true;
    resources.font1 = font("font1");
    resources.font2 = font("font2");
    options.scale = 2;
    fake.int_states[HGE_SCALE] = 2;
    render();
    size_t fitting = fake.quads_in(0).size();
    fake.events.clear();
    fake.int_states[HGE_SCALE] = 1;
    render();
    size_t narrowed = fake.quads_in(0).size();
    fake.events.clear();
    engine->Gfx_BeginScene(0);
    resources.font1->render_text(0, 0, TEXT_RIGHT, " (1 X FITS)");
    engine->Gfx_EndScene();
    EXPECT_GT(fake.quads_in(0).size(), 0u);
    EXPECT_EQ(narrowed, fitting + fake.quads_in(0).size());
}

TEST_F(RenderTest, ShopAndGameOverTextsUseTheSecondFont) {
    resources.font1 = font("font1");
    resources.font2 = font("font2");
    HTEXTURE glyph_tex = resources.font2->get_glyph('?')->get_texture();
    w.game_state = STATE_SHOP;
    full_scene(0, 1);
    render();
    // One black scene on the screen; no views.
    EXPECT_EQ(fake.scenes_on(0), 1);
    EXPECT_EQ(fake.clears_in(0, 0), 1);
    EXPECT_EQ(fake.events.front().kind, SceneEvent::BEGIN);
    EXPECT_EQ(fake.events[1].kind, SceneEvent::CLEAR);
    EXPECT_EQ(fake.events.back().kind, SceneEvent::END);
    TextLine lines[SCREEN_MAX_LINES];
    int n = shop_lines(w, lines);
    size_t glyphs = 0;
    for (int i = 0; i < n; ++i)
        for (const char* c = lines[i].text; *c; ++c) glyphs += *c != '\n';
    std::vector<hgeQuad> screen = fake.quads_in(0);
    ASSERT_EQ(screen.size(), glyphs);
    for (const hgeQuad& q : screen) EXPECT_EQ(q.tex, glyph_tex);
    EXPECT_FLOAT_EQ(screen[0].v[0].x, 116);
    EXPECT_FLOAT_EQ(screen[0].v[0].y, 57);
    EXPECT_FLOAT_EQ(screen.back().v[0].y, 297);

    fake.events.clear();
    w.game_state = STATE_GAME_OVER;
    render();
    EXPECT_EQ(fake.scenes_on(0), 1);
    EXPECT_EQ(fake.clears_in(0, 0), 1);
    screen = fake.quads_in(0);
    ASSERT_EQ(screen.size(), 19u); // "G A M E     O V E R"
    EXPECT_EQ(screen[0].tex, glyph_tex);
    EXPECT_FLOAT_EQ(screen[0].v[0].x, 400 - 76);
    EXPECT_FLOAT_EQ(screen[0].v[0].y, 100);
}

TEST_F(RenderTest, DrawingAFrameAllocatesNothing) {
    resources.font1 = font("font1");
    resources.font2 = font("font2");
    full_scene(0, 1);
    full_scene(2, 3);
    for (int i = 0; i < 70; ++i) w.stars.push_back({i * 15.0f, i * 7.0f});
    w.ship_records[0].flexibility = 3;
    fake.events.reserve(100000);
    fake.quads.reserve(100000);

    // The counter itself counts. The pointer goes through a volatile so an
    // optimiser cannot drop the pair of new and delete.
    static int* volatile probe = nullptr;
    counted_allocations = 0;
    counting_allocations = true;
    probe = new int(1);
    delete probe;
    counting_allocations = false;
    ASSERT_EQ(counted_allocations, 1);

    struct {
        int state, mode;
    } frames[] = {{STATE_TITLE, 0}, {STATE_MENU, 0}, {STATE_MENU, 1}, {STATE_PLAY, 0},
                  {STATE_PLAY, 1},  {STATE_SHOP, 0}, {STATE_GAME_OVER, 1}};
    for (auto& f : frames) {
        w.game_state = f.state;
        w.game_mode = f.mode;
        size_t before = fake.events.size();
        counted_allocations = 0;
        counting_allocations = true;
        render();
        counting_allocations = false;
        EXPECT_EQ(counted_allocations, 0) << "state " << f.state << " mode " << f.mode;
        EXPECT_GT(fake.events.size(), before + 3);
    }

    // Every aid on, with everything they show at once, a pause and the options screen.
    for (bool& aid : options.aids) aid = true;
    w.paused = true;
    hud.armor_flash[0] = 0.2f;
    w.level_end_timer = 1;
    hud.invalid_password_time = 1;
    for (int state : {0, 1, 2, 4, -1}) { // title, menu, play, game over; -1 the options screen
        hud.options.open = state == -1;
        w.game_state = state == -1 ? STATE_MENU : state;
        counted_allocations = 0;
        counting_allocations = true;
        render();
        counting_allocations = false;
        EXPECT_EQ(counted_allocations, 0) << "state " << state << " with aids";
    }
}

TEST_F(RenderTest, ViewZeroTakesTheWorldsWidth) {
    const HTARGET split = resources.view_target[0];
    // ONE PLAYER's whole screen: a new target of that size, drawn into and shown.
    w.view_width[0] = 800;
    render();
    const HTARGET whole = resources.view_target[0];
    ASSERT_NE(whole, split);
    EXPECT_FLOAT_EQ(resources.view_sprite[0]->get_width(), 800);
    EXPECT_FLOAT_EQ(resources.view_sprite[0]->get_height(), 590);
    EXPECT_EQ(fake.scenes_on(split), 0);
    EXPECT_EQ(fake.scenes_on(whole), 1);
    std::vector<hgeQuad> screen = fake.quads_in(0);
    ASSERT_EQ(screen.size(), 1u);
    EXPECT_EQ(screen[0].tex, fake.Target_GetTexture(whole));
    EXPECT_FLOAT_EQ(screen[0].v[1].x - screen[0].v[0].x, 800);
    // A target of the right size is kept.
    render();
    EXPECT_EQ(resources.view_target[0], whole);
    // The split view takes half the screen again.
    w.view_width[0] = 399;
    render();
    EXPECT_NE(resources.view_target[0], whole);
    EXPECT_FLOAT_EQ(resources.view_sprite[0]->get_width(), 399);
}

TEST_F(RenderTest, AnUntouchableShipBlinksInBothViews) {
    w.game_mode = MODE_TEAMWORK;
    head(w.ship_records[0], 500, 500, 0.3f);
    head(w.ship_records[1], 700, 900, 2.0f);
    for (int v = 0; v < 2; ++v) w.ship_records[v].partner_visible = true;
    // Ship 0 hidden: its own picture in view 0 and its partner picture in view 1.
    w.ship_shown[0] = false;
    render();
    auto alpha_of = [](const hgeQuad& q) { return q.v[0].col >> 24; };
    std::vector<hgeQuad> q0 = fake.quads_in(resources.view_target[0]);
    std::vector<hgeQuad> q1 = fake.quads_in(resources.view_target[1]);
    ASSERT_EQ(fake.textures_in(resources.view_target[0]),
              (std::vector<HTEXTURE>{t_ship1, t_dot, t_ship0}));
    ASSERT_EQ(fake.textures_in(resources.view_target[1]),
              (std::vector<HTEXTURE>{t_ship0, t_dot, t_ship1}));
    EXPECT_EQ(alpha_of(q0[0]), 0xFFu);
    EXPECT_EQ(alpha_of(q0[2]), 0u);
    EXPECT_EQ(alpha_of(q1[0]), 0u);
    EXPECT_EQ(alpha_of(q1[2]), 0xFFu);
    // Shown again the next frame.
    fake.events.clear();
    w.ship_shown[0] = true;
    w.ship_shown[1] = false;
    render();
    q0 = fake.quads_in(resources.view_target[0]);
    q1 = fake.quads_in(resources.view_target[1]);
    ASSERT_EQ(q0.size(), 3u);
    ASSERT_EQ(q1.size(), 3u);
    EXPECT_EQ(alpha_of(q0[0]), 0u);
    EXPECT_EQ(alpha_of(q0[2]), 0xFFu);
    EXPECT_EQ(alpha_of(q1[0]), 0xFFu);
    EXPECT_EQ(alpha_of(q1[2]), 0u);
}

TEST_F(RenderTest, EachExplosionShowsItsOwnFrameOfTheSharedPicture) {
    // Four 16 x 16 frames side by side on a 256-wide image.
    owned_anims.emplace_back(new Animation(t_small, 4, 10, 0, 0, 16, 16));
    resources.boom_anim = owned_anims.back().get();
    w.ship_records[0].armor = -1;
    w.small_list.push_back(make_kaboom(2, 50, 51, 150, 151));
    w.small_list.push_back(make_kaboom(0, 60, 61, 160, 161));
    w.small_list.push_back(make_kaboom(3, 70, 71, 170, 171));
    render();
    std::vector<hgeQuad> q = fake.quads_in(resources.view_target[0]);
    ASSERT_EQ(q.size(), 3u);
    const float frame_u = 16.0f / 256.0f;
    EXPECT_FLOAT_EQ(q[0].v[0].tx, 2 * frame_u);
    EXPECT_FLOAT_EQ(q[1].v[0].tx, 0);
    EXPECT_FLOAT_EQ(q[2].v[0].tx, 3 * frame_u);
    EXPECT_FLOAT_EQ(q[1].v[0].x, 60);
}

} // namespace
