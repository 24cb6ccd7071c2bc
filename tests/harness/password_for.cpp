#include "game/passwords.h"
#include "scenario_fixture.h"
#include "support/draws.h"
#include "world/world.h"

std::string password_for(int level, int iteration_, int money_, int ships, int firepower,
                         int flexibility, int shield, int mode) {
    World w;
    ScriptedDraws first_letters; // of two letters for a value, always the same one
    w.tap = &first_letters;
    w.level_index = level;
    w.iteration = iteration_;
    w.money = money_;
    w.ship_records[0].ships = ships;
    w.ship_records[0].firepower = firepower;
    w.ship_records[0].flexibility = flexibility;
    w.ship_records[0].shield = shield;
    w.game_mode = mode;
    make_password(w);
    return w.password;
}
