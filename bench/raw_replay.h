// The drawing limit: recorded quads handed straight to SDL_RenderGeometry on
// a renderer of the benchmark's own, with its own copies of the pictures and
// targets, as few calls as the quads allow: a software renderer drawing off
// screen, or a window of its own on the renderer the game's window gets.
#pragma once

#include <SDL.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "recording_engine.h"

class RawReplay {
  public:
    // A software renderer drawing into an off-screen picture of w x h, like the headless engine.
    RawReplay(int width, int height);
    // A window of w x h at (x, y) with the renderer SDL gives a window first,
    // as the engine asks for it, vsync off. The screen's scene is drawn
    // straight into the window, or with `keep_screen` into a picture that
    // keeps it between frames and is then copied texel for texel into the
    // window; each draw() ends by presenting the window.
    RawReplay(int width, int height, int x, int y, bool keep_screen);
    ~RawReplay();
    RawReplay(const RawReplay&) = delete;
    RawReplay& operator=(const RawReplay&) = delete;

    // Turns a recording into ready vertex lists; false if a picture could not be made.
    bool prepare(const std::vector<DrawOp>& ops, const RecordingEngine& source);
    // Draws the prepared frame once; SDL has run every queued command when it
    // returns. A window is presented unless `present` is false.
    void draw(bool present = true);
    // Times each step of the frame on its own (SDL runs it at once), averaged
    // over `rounds` frames, and prints one line per step to out.
    void profile(int rounds, FILE* out);
    // SDL_RenderGeometry calls that one draw makes.
    int geometry_calls() const;
    // Quads that one draw submits.
    int quads() const { return quads_; }
    // The pixels of the screen picture as 0xAARRGGBB; false on failure.
    bool read_screen(std::vector<uint32_t>* pixels);
    // Sets the screen picture (0xAARRGGBB, row by row, its full size), as a
    // previous frame would have left it; false on failure.
    bool write_screen(const std::vector<uint32_t>& pixels);
    // Why prepare or the constructor failed.
    const std::string& error() const { return error_; }

  private:
    struct Step {
        bool clear = false;
        SDL_Color clear_color{};
        SDL_Texture* texture = nullptr;
        SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
        std::vector<SDL_Vertex> vertices;
        std::vector<int> indices; // empty: the vertices are whole triangles
    };
    struct Scene {
        SDL_Texture* target = nullptr;
        std::vector<Step> steps;
    };

    SDL_Texture* texture_for(HTEXTURE handle, const RecordingEngine& source);
    SDL_Texture* make_target(int w, int h);

    void make_white();

    SDL_Surface* surface_ = nullptr;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* screen_ = nullptr; // nullptr in a window: the window itself
    int width_ = 0, height_ = 0;
    SDL_Texture* white_ = nullptr;
    std::map<HTEXTURE, SDL_Texture*> textures_;
    std::vector<SDL_Texture*> owned_;
    std::vector<Scene> scenes_;
    int quads_ = 0;
    std::string error_;
};
