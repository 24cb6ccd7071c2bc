#include "ships/field.h"

#include "world/globals.h"

namespace {

// Without a view picture (tests, headless set-up) the full window is assumed.
const float DEFAULT_VIEW_W = 800.0f;
const float DEFAULT_VIEW_H = 590.0f;

// The image of p nearest to the viewer along one axis: one correction at most.
float nearest_image(float p, float viewer) {
    if (p > viewer + field_half) {
        p -= field_side();
    } else if (p < viewer - field_half) {
        p += field_side();
    }
    return p;
}

void project_kaboom(kaboom& k, bool second_view) {
    const ViewPoint p0 =
        project_to_view(ship_records[view_ship(0)], anchor_x(0), anchor_y(0), k.x, k.y);
    k.view0_x = p0.screen_x;
    k.view0_y = p0.screen_y;
    if (second_view) {
        const ViewPoint p1 =
            project_to_view(ship_records[view_ship(1)], anchor_x(1), anchor_y(1), k.x, k.y);
        k.view1_x = p1.screen_x;
        k.view1_y = p1.screen_y;
    }
}

void update_explosion_list(std::vector<kaboom>& list, float dt, bool second_view) {
    size_t i = 0;
    while (i < list.size()) {
        kaboom& k = list[i];
        project_kaboom(k, second_view);
        if (k.delay >= 0.0f) {
            k.delay -= dt;
            if (k.delay < 0.0f) k.anim.play();
            ++i;
            continue;
        }
        k.anim.update(dt);
        if (k.anim.is_playing()) {
            ++i;
            continue;
        }
        // Swap and pop; the moved record is looked at next under the same index.
        if (i + 1 < list.size()) list[i] = list.back();
        list.pop_back();
    }
}

void store_partner(ship& viewer, const ship& partner, int view) {
    const ViewPoint p =
        project_to_view(viewer, anchor_x(view), anchor_y(view), partner.x, partner.y);
    viewer.partner_screen_x = p.screen_x;
    viewer.partner_screen_y = p.screen_y;
    viewer.partner_radar_x = p.radar_x;
    viewer.partner_radar_y = p.radar_y;
    viewer.partner_visible = inside_view(p.screen_x, p.screen_y, settings.player_ship_radius);
}

} // namespace

ViewPoint project_to_view(const ship& viewer, float anchor_x, float anchor_y, float px, float py) {
    px = nearest_image(px, viewer.x);
    py = nearest_image(py, viewer.y);
    const float dx = px - viewer.x;
    const float dy = py - viewer.y;
    const float rx = dx * viewer.side_x + dy * viewer.side_y;
    const float ry = dy * viewer.side_x - dx * viewer.side_y;
    // A zero scale in the settings file would divide by zero; show the radar unscaled.
    const float scale = settings.radar_scale != 0.0f ? settings.radar_scale : 1.0f;
    ViewPoint out;
    out.screen_x = anchor_x + rx;
    out.screen_y = anchor_y + ry;
    out.radar_x = anchor_x + rx / scale;
    out.radar_y = anchor_y + ry / scale;
    return out;
}

bool inside_view(float screen_x, float screen_y, float margin) {
    const float w = view_sprite[0] ? view_sprite[0]->get_width() : DEFAULT_VIEW_W;
    const float h = view_sprite[0] ? view_sprite[0]->get_height() : DEFAULT_VIEW_H;
    return -margin < screen_x && screen_x < w + margin && -margin < screen_y &&
           screen_y < h + margin;
}

void update_partners() {
    if (!second_view_active()) return;
    ship& a = ship_records[view_ship(0)];
    ship& b = ship_records[view_ship(1)];
    store_partner(a, b, 0);
    store_partner(b, a, 1);
}

void add_explosion(float x, float y, bool big, float delay) {
    const Animation* tmpl = big ? kaboom_anim : boom_anim;
    if (!tmpl) return;
    kaboom k{x, y, 0.0f, 0.0f, 0.0f, 0.0f, delay, *tmpl};
    project_kaboom(k, second_view_active());
    (big ? big_list : small_list).push_back(k);
}

void update_explosions(float dt) {
    const bool second_view = second_view_active();
    update_explosion_list(big_list, dt, second_view);
    update_explosion_list(small_list, dt, second_view);
}

void make_stars() {
    stars.clear();
    const int count = settings.star_count;
    if (count <= 0) return;
    stars.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        star s;
        s.x = engine->Random_Float(settings.star_minx, settings.star_maxx);
        s.y = engine->Random_Float(settings.star_miny, settings.star_maxy);
        stars.push_back(s);
    }
}
