#include "render/resources.h"

Engine* engine = nullptr;
Resources resources;

void fit_views(const World& w) {
    HTARGET& target = resources.view_target[0];
    Sprite*& view = resources.view_sprite[0];
    if (!target || !view) return;
    int width = static_cast<int>(w.view_width[0]), height = static_cast<int>(w.view_height);
    if (view->get_width() == static_cast<float>(width) &&
        view->get_height() == static_cast<float>(height))
        return;
    // The engine keeps freed targets by size, so going back and forth between
    // the split and the whole view makes nothing new after the first time.
    engine->Target_Free(target);
    target = engine->Target_Create(width, height, false);
    view->set_texture(engine->Target_GetTexture(target));
    view->set_texture_rect(0, 0, static_cast<float>(width), static_cast<float>(height), true);
}

void play_events(const std::vector<Event>& events, HCHANNEL& intro_channel) {
    for (const Event& e : events) {
        switch (e.kind) {
        case EVENT_SOUND: {
            HCHANNEL c = engine->Effect_Play(resources.sounds[e.sound % SOUND_COUNT]);
            if (e.sound == SOUND_INTRO) intro_channel = c;
            break;
        }
        case EVENT_STOP_SOUNDS: engine->Channel_StopAll(); break;
        case EVENT_MENU_MUSIC:
            // The intro goes on over the menu if it still sounds.
            if (engine->Channel_IsPlaying(intro_channel)) break;
            engine->Channel_StopAll();
            intro_channel = engine->Effect_Play(resources.sounds[SOUND_INTRO]);
            break;
        case EVENT_PAUSE: engine->Channel_PauseAll(); break;
        case EVENT_RESUME: engine->Channel_ResumeAll(); break;
        case EVENT_PASSWORD_REFUSED:
        case EVENT_LEVEL_START: break;
        }
    }
}
