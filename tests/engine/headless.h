// Shared by the engine tests: a scratch data folder and a started headless engine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/engine.h"

// A fresh folder under /tmp, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    void write(const std::string& name, const std::string& contents) const;

  private:
    std::string path_;
};

// Writes a w x h PNG of 0xAARRGGBB pixels, row by row.
bool write_png(const std::string& path, int w, int h, const std::vector<uint32_t>& argb);

// A started headless engine whose data folder is a TempDir.
class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // For a test's own engine settings, which take effect when it starts.
    virtual void before_initiate() {}
    // 0xRRGGBB of one pixel of a target (0: the screen).
    uint32_t pixel(HTARGET target, int x, int y);

    TempDir dir;
    Engine* e = nullptr;
};

// An untextured quad over (x0, y0)-(x1, y1) in one colour.
hgeQuad solid_quad(float x0, float y0, float x1, float y1, uint32_t argb,
                   int blend = BLEND_DEFAULT);
// A quad showing all of tex over (x0, y0)-(x1, y1).
hgeQuad texture_quad(HTEXTURE tex, float x0, float y0, float x1, float y1,
                     uint32_t argb = 0xFFFFFFFF, int blend = BLEND_DEFAULT);
