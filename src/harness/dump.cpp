#include "harness/dump.h"

#include <cmath>
#include <cstdio>

#include "world/world.h"

namespace {

class Json {
  public:
    std::string out;

    void key(const char* k) {
        comma();
        out += '"';
        out += k;
        out += "\":";
        pending_value_ = true; // the value follows without a comma
    }
    void num(double v) {
        comma();
        if (!std::isfinite(v)) {
            out += "null";
            return;
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", v);
        out += buf;
    }
    void num(long v) {
        comma();
        out += std::to_string(v);
    }
    void num(int v) { num(static_cast<long>(v)); }
    void boolean(bool v) {
        comma();
        out += v ? "true" : "false";
    }
    void str(const char* s) {
        comma();
        out += '"';
        for (const char* p = s; *p; ++p) {
            unsigned char c = static_cast<unsigned char>(*p);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c >= 0x7f) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
        out += '"';
    }
    void open(char bracket) {
        comma();
        out += bracket;
        first_ = true;
    }
    void close(char bracket) {
        out += bracket;
        first_ = false;
    }

  private:
    void comma() {
        if (pending_value_) {
            pending_value_ = false;
            return;
        }
        if (!first_) out += ',';
        first_ = false;
    }
    bool first_ = true;
    bool pending_value_ = false;
};

void dump_ship(Json& j, const ship& s) {
    j.open('{');
    j.key("x"), j.num(s.x);
    j.key("y"), j.num(s.y);
    j.key("angle"), j.num(s.angle);
    j.key("partner_screen_x"), j.num(s.partner_screen_x);
    j.key("partner_screen_y"), j.num(s.partner_screen_y);
    j.key("partner_radar_x"), j.num(s.partner_radar_x);
    j.key("partner_radar_y"), j.num(s.partner_radar_y);
    j.key("partner_visible"), j.boolean(s.partner_visible);
    j.key("side_x"), j.num(s.side_x);
    j.key("side_y"), j.num(s.side_y);
    j.key("invul_timer"), j.num(s.invul_timer);
    j.key("key_left"), j.num(s.key_left);
    j.key("key_right"), j.num(s.key_right);
    j.key("key_up"), j.num(s.key_up);
    j.key("key_down"), j.num(s.key_down);
    j.key("key_fire"), j.num(s.key_fire);
    j.key("firepower"), j.num(s.firepower);
    j.key("flexibility"), j.num(s.flexibility);
    j.key("armor"), j.num(s.armor);
    j.key("shield"), j.num(s.shield);
    j.key("ships"), j.num(s.ships);
    j.key("fire_timer"), j.num(s.fire_timer);
    j.key("fire_held"), j.num(s.fire_held);
    j.key("death_timer"), j.num(s.death_timer);
    j.key("speed"), j.num(s.speed);
    j.key("rotate_speed"), j.num(s.rotate_speed);
    j.close('}');
}

void dump_enemy(Json& j, const enemy& e) {
    j.open('{');
    j.key("kind"), j.num(e.kind);
    j.key("x"), j.num(e.x);
    j.key("y"), j.num(e.y);
    j.key("angle"), j.num(e.angle);
    j.key("mode"), j.num(e.mode);
    j.key("armor"), j.num(e.armor);
    j.key("speed"), j.num(e.speed);
    j.key("rotate"), j.num(e.rotate);
    j.key("aux_a"), j.num(e.aux_a);
    j.key("aux_b"), j.num(e.aux_b);
    j.key("fire_timer"), j.num(e.fire_timer);
    j.close('}');
}

void dump_bullets(Json& j, const std::vector<bullet>& list, bool with_lifetime) {
    j.open('[');
    for (const bullet& b : list) {
        j.open('{');
        j.key("x"), j.num(b.x);
        j.key("y"), j.num(b.y);
        j.key("angle"), j.num(b.angle);
        if (with_lifetime) j.key("lifetime"), j.num(b.lifetime);
        j.close('}');
    }
    j.close(']');
}

void dump_setting(const char* section, const char* key, const void* value, bool is_int,
                  void* user) {
    Json& j = *static_cast<Json*>(user);
    // The two players' sections share their key names.
    std::string name = key;
    if (std::string(section) == "Player0") name = "player0_" + name;
    if (std::string(section) == "Player1") name = "player1_" + name;
    j.key(name.c_str());
    if (is_int)
        j.num(*static_cast<const int32_t*>(value));
    else
        j.num(*static_cast<const float*>(value));
}

} // namespace

std::string dump_state(const World& w, long frame) {
    Json j;
    j.open('{');
    j.key("frame"), j.num(frame);
    j.key("game_state"), j.num(w.game_state);
    j.key("game_mode"), j.num(w.game_mode);
    j.key("money"), j.num(w.money);
    j.key("bonus"), j.num(w.bonus);
    j.key("purse"), j.open('['), j.num(credits_of(w, 0)), j.num(credits_of(w, 1)), j.close(']');
    j.key("winner"), j.num(w.winner);
    j.key("level_index"), j.num(w.level_index);
    j.key("iteration"), j.num(w.iteration);
    j.key("password"), j.str(w.password);
    j.key("password_cursor"), j.num(w.password_cursor);
    j.key("map_index"), j.num(w.map_index);
    j.key("spawning"), j.boolean(w.spawning);
    j.key("spawn_index"), j.num(w.spawn_index);
    j.key("spawn_pass"), j.num(w.spawn_pass);
    j.key("spawn_timer"), j.num(w.spawn_timer);
    j.key("level_end_timer"), j.num(w.level_end_timer);
    j.key("game_over_timer"), j.num(w.game_over_timer);
    j.key("view_anchor"), j.open('['), j.num(w.view_anchor[0]), j.num(w.view_anchor[1]),
        j.close(']');
    j.key("view_width"), j.open('[');
    for (float width : w.view_width) j.num(static_cast<double>(width));
    j.close(']');
    j.key("ships"), j.open('[');
    for (const ship& s : w.ship_records) dump_ship(j, s);
    j.close(']');
    j.key("enemies"), j.open('[');
    for (const enemy& e : w.enemy_list) dump_enemy(j, e);
    j.close(']');
    j.key("pending"), j.num(static_cast<long>(w.pending_list.size()));
    j.key("player_bullets"), j.open('[');
    dump_bullets(j, w.player_bullets[0], false);
    dump_bullets(j, w.player_bullets[1], false);
    j.close(']');
    j.key("enemy_bullets"), dump_bullets(j, w.enemy_bullets, true);
    j.key("big"), j.num(static_cast<long>(w.big_list.size()));
    j.key("small"), j.num(static_cast<long>(w.small_list.size()));
    j.key("stars"), j.num(static_cast<long>(w.stars.size()));
    j.key("settings"), j.open('{');
    visit_settings(w.settings, dump_setting, &j);
    j.key("spawn_delay"), j.num(w.settings.spawn_delay);
    j.close('}');
    j.close('}');
    return j.out;
}
