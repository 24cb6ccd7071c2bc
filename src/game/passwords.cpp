#include "game/passwords.h"

#include "world/world.h"

namespace {

// Fields in the order of the encoding; each character carries four field bits.
enum Field { L, M, S, F, X, H, G, FIELD_COUNT };

struct Bit {
    Field field;
    int bit;
};

// Character i carries bits 3, 2, 1, 0 in this order.
const Bit LAYOUT[9][4] = {
    {{F, 0}, {L, 0}, {S, 0}, {L, 1}},
    {{H, 2}, {L, 5}, {X, 0}, {M, 2}},
    {{M, 1}, {L, 8}, {S, 4}, {X, 2}},
    {{H, 0}, {S, 5}, {F, 2}, {M, 4}},
    {{M, 0}, {X, 1}, {L, 7}, {S, 6}},
    {{F, 1}, {H, 1}, {L, 6}, {S, 3}},
    {{M, 3}, {M, 6}, {L, 4}, {S, 2}},
    {{G, 0}, {M, 8}, {L, 3}, {S, 1}},
    {{M, 5}, {M, 9}, {L, 2}, {M, 7}},
};

// First and second letter of each value; '\0' where a value has one.
const char LETTERS[16][2] = {
    {'T', 0}, {'U', 'K'}, {'V', 'B'}, {'L', 'J'}, {'M', 0}, {'R', 0}, {'F', 0}, {'E', 0},
    {'N', 0}, {'Z', 0},   {'Q', 'I'}, {'G', 0},   {'X', 'C'}, {'O', 0}, {'Y', 'H'}, {'P', 0},
};

} // namespace

char password_letter(World& w, int value) {
    const char* pair = LETTERS[value & 15];
    if (pair[1] == 0) return pair[0];
    return random_int(w, 0, 1) == 1 ? pair[0] : pair[1];
}

int password_value(char c) {
    for (int v = 0; v < 16; ++v)
        if (LETTERS[v][0] == c || (LETTERS[v][1] != 0 && LETTERS[v][1] == c)) return v;
    return 200;
}

void make_password(World& w) {
    const ship& s = w.ship_records[0];
    // Two's-complement bits; each field keeps only the bits the layout names.
    unsigned fields[FIELD_COUNT] = {static_cast<unsigned>(w.level_index + 50 * w.iteration),
                                    static_cast<unsigned>(w.money),
                                    static_cast<unsigned>(s.ships),
                                    static_cast<unsigned>(s.firepower),
                                    static_cast<unsigned>(s.flexibility),
                                    static_cast<unsigned>(s.shield),
                                    static_cast<unsigned>(w.game_mode)};
    for (int i = 0; i < 9; ++i) {
        int value = 0;
        for (int b = 0; b < 4; ++b) {
            const Bit& bit = LAYOUT[i][b];
            value |= static_cast<int>((fields[bit.field] >> bit.bit) & 1u) << (3 - b);
        }
        w.password[i] = password_letter(w, value);
    }
    w.password[9] = '\0';
}

bool type_password_letter(World& w, char letter) {
    if (w.password_cursor < 0 || w.password_cursor > 8) w.password_cursor = 0;
    w.password[w.password_cursor] = letter;
    w.password_cursor += 1;
    w.password_typing = true;
    if (w.password_cursor < 9) return true;
    w.password_cursor = 0;
    w.password_typing = false;
    if (apply_password(w)) return true;
    // A refused password would stand beside the level of the game that goes on.
    make_password(w);
    return false;
}

void erase_password_letter(World& w) {
    if (w.password_cursor > 0 && w.password_cursor <= 8) w.password_cursor -= 1;
}

bool apply_password(World& w) {
    int values[9];
    for (int i = 0; i < 9; ++i) {
        values[i] = password_value(w.password[i]);
        if (values[i] > 15) return false;
    }
    unsigned fields[FIELD_COUNT] = {};
    for (int i = 0; i < 9; ++i)
        for (int b = 0; b < 4; ++b) {
            const Bit& bit = LAYOUT[i][b];
            fields[bit.field] |= static_cast<unsigned>((values[i] >> (3 - b)) & 1) << bit.bit;
        }
    if (!(fields[L] < 450 && fields[S] < 100 && fields[X] <= 5 && fields[F] <= 5 && fields[H] <= 5))
        return false;

    w.money = static_cast<int>(fields[M]);
    w.level_index = static_cast<int>(fields[L] % 50);
    w.iteration = static_cast<int>(fields[L] / 50);
    restore_difficulty(w.settings, w.file_settings, w.iteration);

    ship& s = w.ship_records[0];
    s.ships = static_cast<int>(fields[S]);
    s.flexibility = static_cast<int>(fields[X]);
    s.firepower = static_cast<int>(fields[F]);
    s.shield = static_cast<int>(fields[H]);
    w.game_mode = static_cast<int>(fields[G]);
    return true;
}
