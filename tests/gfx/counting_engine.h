// A recording engine that says when the last reference let it go and which
// textures were freed, so tests can see that the toolkit balances both.
#pragma once

#include <vector>

#include "support/fake_engine.h"

class CountingEngine : public FakeEngine {
  public:
    // destroyed turns true when the engine is deleted (by its last Release).
    explicit CountingEngine(bool* destroyed) : destroyed_(destroyed) {}
    ~CountingEngine() override { *destroyed_ = true; }

    void Texture_Free(HTEXTURE tex) override { freed.push_back(tex); }

    std::vector<HTEXTURE> freed; // every Texture_Free, in order

  private:
    bool* destroyed_;
};
