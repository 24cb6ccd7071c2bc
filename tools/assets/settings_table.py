"""The tuning file data/Settings.ini, written from one table in reading order.

Each row: (section, key, type, default, comment). Types: 'i' int, 'f' float.
"""

GAME_1 = [
    ("game_over_delay", "f", 1.5, "seconds the GAME OVER screen shows before the menu returns"),
    ("start_enemy", "i", 6, "enemies placed at once when a level starts"),
    ("player_invul_delay", "f", 2, "seconds a ship stays untouchable after it enters play"),
    ("start_money", "i", 0, "credits at the start of a new game"),
    ("start_level", "i", 0, "level index (0..49) a new game starts at"),
    ("start_level_iteration", "i", 0, "pass through the levels (0..8) a new game starts at"),
    ("clear_radius", "f", 35, "margin around each view inside which no enemy is spawned"),
    ("anim_kaboom_fps", "f", 60, "frames per second of the big explosion"),
    ("anim_boom_fps", "f", 30, "frames per second of the small explosion"),
    ("anim_kaboom_delay", "f", 0.08, "start delay between the explosions of a destruction"),
    ("anim_kaboom_radius", "f", 25, "largest x and y offset of the scattered explosions of a destruction"),
    ("player_death_delay", "f", 1.5, "seconds a destroyed ship waits before it returns"),
    ("player_invul_period", "f", 0.1, "blink period of an untouchable ship, seconds"),
    ("player_win_delay", "f", 1.5, "seconds an empty field waits before the level is won"),
]

KEYS = [("left", "turn left"), ("right", "turn right"), ("up", "thrust forward"),
        ("down", "thrust backward"), ("fire", "fire")]
PLAYER0 = dict(left=37, right=39, up=38, down=40, fire=17)
# Shift rather than Q, so the menu's "WASD AND SHIFT" label holds.
PLAYER1 = dict(left=65, right=68, up=87, down=83, fire=16)

UPGRADE = []
for fam, prices, what in (("flexibility", (50, 80, 120, 170, 250), "flexibility grade"),
                          ("firepower", (100, 180, 250, 320, 400), "firepower grade"),
                          ("shield", (25, 50, 100, 150, 200), "shield grade")):
    for i, p in enumerate(prices):
        UPGRADE.append(("price_%s_%d" % (fam, i), "i", p, "price of the next %s when it is %d" % (what, i)))
UPGRADE.append(("price_ships", "i", 10, "price of one extra ship"))

STAR = [
    ("maxx", "f", 1100, "right edge of the star box"),
    ("maxy", "f", 1100, "bottom edge of the star box"),
    ("minx", "f", 0, "left edge of the star box"),
    ("miny", "f", 0, "top edge of the star box"),
    ("count", "i", 70, "number of background stars in the star box"),
]

GAME_2 = [
    ("one_player_x", "f", 400, "x of the ship in the one-player view"),
    ("one_player_y", "f", 400, "y of the ship in the one-player view"),
    ("split_screen_player0_x", "f", 200, "x of ship 0 in its half of a split screen"),
    ("split_screen_player0_y", "f", 400, "y of ship 0 in its half of a split screen"),
    ("split_screen_player1_x", "f", 200, "x of ship 1 in its half of a split screen"),
    ("split_screen_player1_y", "f", 400, "y of ship 1 in its half of a split screen"),
    ("player_fire_reaction_delay", "f", 0.6, "seconds the fire key is held before the time between volleys doubles"),
]

CONTROL_FAMILIES = [
    ("speed_vert_max_", (280, 310, 335, 360, 385, 400), "top forward speed"),
    ("speed_vert_min_", (-60, -75, -90, -105, -120, -140), "top backward speed (negative)"),
    ("rotate_left_max_", (-1.8, -1.95, -2.1, -2.25, -2.4, -2.6), "top left turn rate, rad/s (negative)"),
    ("rotate_right_max_", (1.8, 1.95, 2.1, 2.25, 2.4, 2.6), "top right turn rate, rad/s"),
    ("forward_speedup_", (550, 575, 600, 625, 650, 675), "forward acceleration"),
    ("backward_speedup_", (550, 575, 600, 625, 650, 675), "backward acceleration"),
    ("rotate_speedup_", (20, 24, 28, 31, 34, 37), "turn acceleration"),
    ("forward_speeddown_", (450, 475, 500, 525, 550, 575), "slowing down of forward motion without thrust"),
    ("backward_speeddown_", (-200, -210, -220, -230, -240, -250), "slowing down of backward motion without thrust (negative)"),
    ("rotate_speeddown_", (7.5, 8.5, 10, 11, 12, 14), "slowing down of a turn without a turn key"),
]
CONTROL = []
for fam, vals, what in CONTROL_FAMILIES:
    for i, v in enumerate(vals):
        CONTROL.append((fam + str(i), "f", v, "%s at flexibility %d" % (what, i)))

GAME_3 = [
    ("radar_scale", "f", 8, "radar blips are this many times closer to the ship than the objects"),
    ("player_fire_cooldown", "f", 0.1, "seconds between volleys when the fire key is tapped"),
    ("player_bullet_speed", "f", 777, "speed of a player bullet, units per second"),
    ("player_bullet_outrange", "f", 16, "distance ahead of the ship where a player bullet appears"),
    ("map_max[0]", "f", 1100, "side of the field for level digit 0"),
    ("map_max[1]", "f", 2200, "side of the field for level digit 1"),
    ("map_max[2]", "f", 3300, "side of the field for level digit 2"),
    ("map_max[3]", "f", 4400, "side of the field for level digit 3"),
    ("player_bullet_radius", "f", 4, "margin of a player bullet's visibility test"),
    ("player_ship_radius", "f", 14, "margin of the partner ship's visibility test"),
]

# Per-suffix comments of the enemy groups; (*) marks values that grow or
# shrink with each pass through the fifty levels.
ENEMY_SUFFIX = {
    "rotate_min": "least spin, rad/s", "rotate_max": "most spin, rad/s",
    "speed_min": "least speed", "speed_max": "most speed",
    "rotate": "turn or spin rate, rad/s", "speed": "speed, units per second",
    "think_min": "least seconds between course changes", "think_max": "most seconds between course changes",
    "think": "most seconds between course changes",
    "fire_cooldown": "seconds between fire decisions",
    "fire_probability": "chance to fire at each decision, percent",
    "bullet_lifetime": "seconds a bullet lives", "bullet_outrange": "distance from the centre where a bullet appears",
    "bullet_angle": "half angle between the two bullets of a pair, rad",
    "turn_to": "squared distance beyond which it turns back to attack",
    "turn_out": "squared distance below which it turns away",
    "fire_radius": "squared distance within which it fires",
    "fire_sensetivity": "largest aiming error at which it fires, rad",
    "fire_angle": "angle between the bullets of its fan, rad",
    "turn_to_think_delay_min": "least seconds between chances to attack again",
    "turn_to_think_delay_max": "most seconds between chances to attack again",
    "turn_to_probability": "chance to attack again at each chance, percent",
    "speed_down": "speed lost per second; the rocket ends at zero",
    "fire_outrange": "distance ahead where a launched rocket appears",
}

ENEMY_GROUPS = [
    ("meteor", "rocks", [("rotate_min", 3), ("rotate_max", 6), ("speed_min", 30), ("speed_max", 120)]),
    ("gravy", "crystal gravies", [("rotate_min", 2), ("rotate_max", 4), ("speed_min", 50), ("speed_max", 90)]),
    ("bull", "bull", [("rotate", 1.5), ("speed", 90), ("think_min", 0.3), ("think_max", 0.8), ("fire_cooldown", 1.5),
                      ("fire_probability", 60), ("bullet_lifetime", 0.5), ("bullet_outrange", 15), ("bullet_angle", 0.6)]),
    ("eagle", "eagle", [("rotate", 4), ("speed", 110), ("turn_to", 250000), ("turn_out", 22000), ("fire_radius", 160000),
                        ("fire_cooldown", 0.4), ("fire_probability", 25), ("bullet_lifetime", 0.6),
                        ("bullet_outrange", 15), ("bullet_angle", 0.9)]),
    ("hull", "hull", [("rotate", 5), ("speed", 120), ("turn_to", 270000), ("turn_out", 20000), ("fire_radius", 160000),
                      ("fire_cooldown", 0.3), ("fire_probability", 25), ("bullet_lifetime", 0.6),
                      ("bullet_outrange", 9), ("bullet_angle", 0.07)]),
    ("runner", "runner", [("rotate", 2), ("speed", 210)]),
    ("spike", "spike", [("rotate", 0.7), ("speed", 210)]),
    ("klin", "klin", [("rotate", 3.5), ("speed", 115), ("turn_to", 290000), ("turn_out", 29000), ("fire_radius", 160000),
                      ("fire_cooldown", 0.3), ("fire_probability", 25), ("bullet_lifetime", 0.8), ("bullet_outrange", 15)]),
    ("redgun", "red turret", [("fire_radius", 160000), ("fire_cooldown", 0.25), ("fire_probability", 10), ("rotate", 1),
                              ("bullet_lifetime", 1), ("bullet_outrange", 29)]),
    ("smallgun", "small spinning turret", [("fire_radius", 300000), ("fire_cooldown", 0.3), ("fire_probability", 60),
                                           ("fire_sensetivity", 0.1), ("rotate", 0.8), ("bullet_lifetime", 1.8),
                                           ("bullet_outrange", 16)]),
    ("bluegun", "blue spinning turret", [("fire_radius", 220000), ("fire_cooldown", 0.6), ("fire_probability", 85),
                                         ("bullet_lifetime", 0.9), ("bullet_outrange", 29), ("rotate", 0.6)]),
    ("ananasgun", "fan turret", [("fire_radius", 100000), ("fire_cooldown", 0.2), ("fire_probability", 20),
                                 ("fire_angle", 0.22), ("rotate", 0.2), ("bullet_lifetime", 0.6),
                                 ("fire_sensetivity", 0.6), ("bullet_outrange", 25)]),
    ("arrow", "arrow", [("rotate", 0.35), ("speed", 195), ("turn_to_think_delay_min", 3), ("turn_to_think_delay_max", 10),
                        ("turn_to_probability", 18), ("turn_out", 6000)]),
    ("disk", "disk", [("rotate", 7), ("speed", 140), ("turn_to", 290000), ("turn_out", 16000), ("fire_radius", 250000),
                      ("fire_cooldown", 0.3), ("fire_probability", 30), ("bullet_lifetime", 1.1), ("bullet_outrange", 15)]),
    ("dragonfly", "dragonfly", [("rotate", 5), ("speed", 330), ("turn_to", 290000), ("turn_out", 20000),
                                ("fire_radius", 200000), ("fire_cooldown", 0.3), ("fire_probability", 35),
                                ("bullet_lifetime", 0.9), ("bullet_outrange", 12)]),
    ("firestation", "rocket station", [("fire_cooldown", 1), ("fire_sensetivity", 1), ("fire_probability", 25),
                                       ("rotate", 0.1)]),
    ("firerocket", "station rocket", [("speed", 400), ("rotate", 0.7), ("speed_down", 70)]),
    ("chiken", "chiken carrier", [("speed", 230), ("rotate", 0.55), ("think", 4), ("fire_cooldown", 2),
                                  ("fire_radius", 250000), ("fire_probability", 30), ("fire_outrange", 15)]),
    ("chikenrocket", "chiken rocket", [("speed", 280), ("rotate", 2.5), ("speed_down", 34)]),
    ("mozg", "mozg", [("rotate", 7), ("speed", 150), ("turn_to", 200000), ("turn_out", 39000), ("fire_radius", 160000),
                      ("fire_cooldown", 0.3), ("fire_probability", 15), ("fire_angle", 0.18), ("bullet_lifetime", 1.2),
                      ("bullet_outrange", 33)]),
]

ENEMY = [("enemy_bullet_speed", "f", 250, "speed of every enemy bullet"),
         ("enemy_bullet_radius", "f", 4, "margin of an enemy bullet's visibility test")]
for group, label, items in ENEMY_GROUPS:
    for suffix, value in items:
        ENEMY.append(("enemy_%s_%s" % (group, suffix), "f", value, "%s: %s" % (label, ENEMY_SUFFIX[suffix])))


def _players(section_keys):
    return [(k, "i", section_keys[k], "virtual-key code to %s" % what) for k, what in KEYS]


# Read by the engine when it opens the window, not by the game; the game
# never sees these values, so they cannot change how it plays.
DISPLAY = [
    ("fullscreen", "i", 0, "1 starts fullscreen, 0 in a window (Alt+Enter switches)"),
    ("scale", "i", 1, "window size as a whole multiple of 800 x 590, made smaller to fit the desktop"),
    ("integer_scaling", "i", 0, "1 shows the picture only at whole multiples, for sharp pixels"),
    ("vsync", "i", 0, "1 waits for the display between frames instead of the 500 per second limit"),
    ("pause_when_unfocused", "i", 1, "1 stops the game and its sound while the window is in the background"),
]

# Reading order. "Game" is read in three parts; the file holds it once, since
# INI readers disagree about repeated sections.
READING_ORDER = [
    ("Game", GAME_1), ("Player0", _players(PLAYER0)), ("Player1", _players(PLAYER1)),
    ("Upgrade", UPGRADE), ("Star", STAR), ("Game", GAME_2), ("Control", CONTROL),
    ("Game", GAME_3), ("Enemy", ENEMY), ("Display", DISPLAY),
]

SECTION_NOTES = {
    "Game": "Game flow, views, player weapons and the field",
    "Player0": "Keys of player 0 (right half of a split screen)",
    "Player1": "Keys of player 1 (left half of a split screen)",
    "Upgrade": "Shop prices in credits",
    "Star": "Background stars",
    "Control": "Flight model, one value per flexibility grade 0..5",
    "Enemy": "Enemies; speeds in units per second, squared distances in units squared",
    "Display": "The window; a bad value gives the default",
}


def fmt(kind, value):
    if kind == "i":
        return str(int(value))
    return "%g" % value


def sections():
    """Sections in the order they first appear, with keys in reading order."""
    order, keys = [], {}
    for name, rows in READING_ORDER:
        if name not in keys:
            order.append(name)
            keys[name] = []
        keys[name].extend(rows)
    return [(n, keys[n]) for n in order]


def ini_text():
    lines = ["; Korvane tuning values. Every key shows its default; the game falls back",
             "; to the same default when a key or the whole file is missing.", ""]
    for name, rows in sections():
        lines.append("; " + SECTION_NOTES[name])
        lines.append("[%s]" % name)
        for key, kind, value, comment in rows:
            lines.append("; " + comment)
            lines.append("%s=%s" % (key, fmt(kind, value)))
        lines.append("")
    return "\r\n".join(lines)
