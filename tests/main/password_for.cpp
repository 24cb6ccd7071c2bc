#include <cstring>

#include "world/globals.h"
#include "game/passwords.h"
#include "scenario_fixture.h"
#include "support/fake_engine.h"

std::string password_for(int level, int iteration_, int money_, int ships, int firepower,
                         int flexibility, int shield, int mode) {
    FakeEngine fake;
    Engine* saved = engine;
    engine = &fake;
    level_index = level;
    iteration = iteration_;
    money = money_;
    ship_records[0].ships = ships;
    ship_records[0].firepower = firepower;
    ship_records[0].flexibility = flexibility;
    ship_records[0].shield = shield;
    game_mode = mode;
    make_password();
    engine = saved;
    return password;
}
