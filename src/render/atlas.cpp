#include "render/atlas.h"

const AtlasPicture SPRITES[SPRITE_COUNT] = {
    {0, 0, 640, 400, 0, 0, 1, 1},                 // logo
    {117, 13, 8, 8, 0, 0, 1, 1},                  // star
    {0, 0, 34, 26, 13, 13, 1, 1},                 // ship 0
    {0, 56, 30, 26, 13, 13, 1, 1},                // ship 1
    {51, 0, 22, 8, 18, 4, 1, 1},                  // enemy bullet
    {78, 0, 20, 10, 17, 5, 1, 1},                 // player bullet
    {108, 4, 2, 2, HOT_CENTRE, HOT_CENTRE, 1, 1}, // radar dot
};

const AtlasPicture IMAGES[KIND_COUNT] = {
    {70, 63, 52, 58, HOT_CENTRE, HOT_CENTRE, 1, 1},  // meteor, large
    {71, 31, 32, 32, HOT_CENTRE, HOT_CENTRE, 1, 1},  // meteor, medium
    {36, 10, 22, 22, HOT_CENTRE, HOT_CENTRE, 1, 1},  // meteor, small
    {122, 63, 56, 58, HOT_CENTRE, HOT_CENTRE, 1, 1}, // gravy, large
    {103, 31, 34, 32, HOT_CENTRE, HOT_CENTRE, 1, 1}, // gravy, medium
    {126, 0, 24, 24, HOT_CENTRE, HOT_CENTRE, 1, 1},  // gravy, small
    {0, 26, 30, 30, HOT_CENTRE, HOT_CENTRE, 1, 1},   // bull
    {0, 112, 34, 30, 15, 15, 1, 1},                  // eagle
    {0, 82, 34, 30, 15, 15, 1, 1},                   // runner
    {0, 142, 62, 58, 29, 29, 1, 1},                  // redgun
    {30, 32, 35, 30, 15, 15, 1, 1},                  // klin
    {30, 62, 32, 18, 17, 9, 1, 1},                   // spike
    {34, 80, 32, 26, 13, 13, 1, 1},                  // smallgun
    {34, 106, 30, 34, 15, 17, 1, 1},                 // hull
    {62, 142, 62, 58, 29, 29, 1, 1},                 // bluegun
    {124, 142, 58, 58, 29, 29, 1, 1},                // ananasgun
    {65, 11, 34, 18, 17, 9, 1, 1},                   // arrow
    {150, 0, 34, 30, 19, 15, 1, 1},                  // disk
    {137, 38, 26, 20, 10, 10, 1, 1},                 // firestation
    {137, 30, 30, 8, 20, 4, 1, 1},                   // firerocket
    {184, 0, 54, 30, 27, 15, 1, 1},                  // chiken
    {0, 234, 34, 14, 21, 7, 8, 30},                  // chikenrocket, flame loop
    {0, 200, 32, 34, 16, 17, 8, 60},                 // dragonfly, wing loop
    {178, 30, 66, 66, 31, 33, 1, 1},                 // mozg
};

const AtlasPicture BIG_EXPLOSION = {0, 0, 64, 64, 32, 32, 20, 10};
const AtlasPicture SMALL_EXPLOSION = {0, 192, 32, 32, 16, 16, 8, 10};
