#include "ships/field.h"

#include <cstddef>

#include "world/world.h"

namespace {

// The image of p nearest to the viewer along one axis: one correction at most.
float nearest_image(const World& w, float p, float viewer) {
    if (p > viewer + w.field_half) {
        p -= field_side(w);
    } else if (p < viewer - w.field_half) {
        p += field_side(w);
    }
    return p;
}

void project_kaboom(World& w, kaboom& k, bool second_view) {
    const ViewPoint p0 = project_to_view(w, w.ship_records[view_ship(w, 0)], anchor_x(w, 0),
                                         anchor_y(w, 0), k.x, k.y);
    k.view0_x = p0.screen_x;
    k.view0_y = p0.screen_y;
    if (second_view) {
        const ViewPoint p1 = project_to_view(w, w.ship_records[view_ship(w, 1)], anchor_x(w, 1),
                                             anchor_y(w, 1), k.x, k.y);
        k.view1_x = p1.screen_x;
        k.view1_y = p1.screen_y;
    }
}

void update_explosion_list(World& w, std::vector<kaboom>& list, float dt, bool second_view) {
    std::size_t i = 0;
    while (i < list.size()) {
        kaboom& k = list[i];
        project_kaboom(w, k, second_view);
        if (k.delay >= 0.0f) {
            k.delay -= dt;
            if (k.delay < 0.0f) anim_play(k.anim);
            ++i;
            continue;
        }
        anim_update(k.anim, dt);
        if (k.anim.playing) {
            ++i;
            continue;
        }
        // Swap and pop; the moved record is looked at next under the same index.
        if (i + 1 < list.size()) list[i] = list.back();
        list.pop_back();
    }
}

void store_partner(World& w, ship& viewer, const ship& partner, int view) {
    const ViewPoint p =
        project_to_view(w, viewer, anchor_x(w, view), anchor_y(w, view), partner.x, partner.y);
    viewer.partner_screen_x = p.screen_x;
    viewer.partner_screen_y = p.screen_y;
    viewer.partner_radar_x = p.radar_x;
    viewer.partner_radar_y = p.radar_y;
    viewer.partner_visible = inside_view(w, p.screen_x, p.screen_y, w.settings.player_ship_radius);
}

} // namespace

ViewPoint project_to_view(const World& w, const ship& viewer, float anchor_x, float anchor_y,
                          float px, float py) {
    px = nearest_image(w, px, viewer.x);
    py = nearest_image(w, py, viewer.y);
    const float dx = px - viewer.x;
    const float dy = py - viewer.y;
    const float rx = dx * viewer.side_x + dy * viewer.side_y;
    const float ry = dy * viewer.side_x - dx * viewer.side_y;
    // A zero scale in the settings file would divide by zero; show the radar unscaled.
    const float scale = w.settings.radar_scale != 0.0f ? w.settings.radar_scale : 1.0f;
    ViewPoint out;
    out.screen_x = anchor_x + rx;
    out.screen_y = anchor_y + ry;
    out.radar_x = anchor_x + rx / scale;
    out.radar_y = anchor_y + ry / scale;
    return out;
}

bool inside_view(const World& w, float screen_x, float screen_y, float margin) {
    const float width = w.view_width[0], height = w.view_height;
    return -margin < screen_x && screen_x < width + margin && -margin < screen_y &&
           screen_y < height + margin;
}

void update_partners(World& w) {
    if (!second_view_active(w)) return;
    ship& a = w.ship_records[view_ship(w, 0)];
    ship& b = w.ship_records[view_ship(w, 1)];
    store_partner(w, a, b, 0);
    store_partner(w, b, a, 1);
}

void add_explosion(World& w, float x, float y, bool big, float delay) {
    kaboom k{x, y, 0.0f, 0.0f, 0.0f, 0.0f, delay, big ? w.big_explosion : w.small_explosion};
    project_kaboom(w, k, second_view_active(w));
    (big ? w.big_list : w.small_list).push_back(k);
}

void update_explosions(World& w, float dt) {
    const bool second_view = second_view_active(w);
    update_explosion_list(w, w.big_list, dt, second_view);
    update_explosion_list(w, w.small_list, dt, second_view);
}

void make_stars(World& w) {
    w.stars.clear();
    const int count = w.settings.star_count;
    if (count <= 0) return;
    w.stars.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        star s;
        s.x = random_float(w, w.settings.star_minx, w.settings.star_maxx);
        s.y = random_float(w, w.settings.star_miny, w.settings.star_maxy);
        w.stars.push_back(s);
    }
}
