// Where each picture lies in the game's textures: the one table that the
// loader and the data tests share.
#pragma once

#include "world/records.h"

// A hot spot of HOT_CENTRE means the middle of the rectangle.
const float HOT_CENTRE = -1;

struct AtlasPicture {
    float x, y, w, h;   // first frame, in texels
    float hot_x, hot_y; // the point it turns about and lands on
    int frames;         // laid out left to right, wrapping at the texture's width
    float fps;
};

enum AtlasSprite {
    SPRITE_LOGO,
    SPRITE_STAR,
    SPRITE_SHIP0,
    SPRITE_SHIP1,
    SPRITE_ENEMY_BULLET,
    SPRITE_PLAYER_BULLET,
    SPRITE_DOT,
    SPRITE_COUNT
};

// Sprites: SPRITE_LOGO on the logo texture, the rest on the main atlas.
extern const AtlasPicture SPRITES[SPRITE_COUNT];
// One picture per enemy kind on the main atlas, facing right.
extern const AtlasPicture IMAGES[KIND_COUNT];
// The large and the small explosion on the explosion texture.
extern const AtlasPicture BIG_EXPLOSION;
extern const AtlasPicture SMALL_EXPLOSION;
