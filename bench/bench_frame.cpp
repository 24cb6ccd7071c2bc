// Frame benchmarks: the update (frame_func) and the drawing (render_func) of
// the menu demonstration and of a stress scene, against the same quads
// submitted raw to SDL's software renderer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#ifdef KORVANE_ONLINE
#include "online/rollback.h"
#endif
#include "alloc_counter.h"
#include "engine/sdl/sdl_engine.h"
#include "game/states.h"
#include "raw_replay.h"
#include "recording_engine.h"
#include "render/render.h"
#include "scenes.h"

namespace {

const int SEED = 20240611;
const int MENU_WARMUP_FRAMES = 900;
const int STRESS_WARMUP_FRAMES = 600;
// Frames played from the scene's frame before it is put back (half a second).
const int CYCLE_FRAMES = 30;

struct Scene {
    explicit Scene(const char* n) : name(n) {}
    const char* name;
    GameSnapshot snapshot;
    SceneCounts counts;
    std::unique_ptr<RawReplay> raw;
    int quads = 0;
};

void scene_counters(benchmark::State& st, const Scene& s) {
    st.counters["enemies"] = s.counts.enemies;
    st.counters["bullets"] = s.counts.enemy_bullets + s.counts.player_bullets;
    st.counters["explosions"] = s.counts.explosions;
    st.counters["quads"] = s.quads;
}

// Plays the cycle's frames once without timing, so every list has the room the cycle needs.
void play_cycle(const Scene& s) {
    s.snapshot.restore(SEED);
    for (int i = 0; i < CYCLE_FRAMES; ++i) frame_func();
    s.snapshot.restore(SEED);
}

void bm_update(benchmark::State& st, Scene* s) {
    play_cycle(*s);
    uint64_t allocations = 0;
    int64_t frames = 0;
    int in_cycle = 0;
    for (auto _ : st) {
        uint64_t before = allocation_count();
        benchmark::DoNotOptimize(frame_func());
        allocations += allocation_count() - before;
        ++frames;
        if (++in_cycle == CYCLE_FRAMES) {
            st.PauseTiming();
            s->snapshot.restore(SEED);
            in_cycle = 0;
            st.ResumeTiming();
        }
    }
    scene_counters(st, *s);
    st.counters["allocs_per_frame"] = frames ? static_cast<double>(allocations) / frames : 0.0;
}

void bm_draw(benchmark::State& st, Scene* s) {
    s->snapshot.restore(SEED);
    render_func();
    uint64_t allocations = 0;
    int64_t frames = 0;
    for (auto _ : st) {
        uint64_t before = allocation_count();
        render_func();
        allocations += allocation_count() - before;
        ++frames;
    }
    scene_counters(st, *s);
    st.counters["allocs_per_frame"] = frames ? static_cast<double>(allocations) / frames : 0.0;
}

#ifdef KORVANE_ONLINE
// One rollback of online play: the state of 8 frames back put back and the
// 8 frames run again (each saving its state), both ships turning and firing.
void bm_rollback(benchmark::State& st, Scene* s) {
    const int BACK = 8;
    s->snapshot.restore(SEED);
    Engine* real = engine;
    FrameEngine fe(real);
    engine = &fe;
    Rollback* rb = new Rollback; // its saved states are large for the stack
    rb->start(0, &fe, 1.0f / 60.0f, nullptr);
    KeyFrame host, joiner;
    apply_key_change(host, HGEK_LEFT, true);
    apply_key_change(host, HGEK_CTRL, true);
    apply_key_change(joiner, 'A', true);
    apply_key_change(joiner, HGEK_SHIFT, true);
    for (long f = 1; f <= BACK; ++f) {
        rb->add_local(f, f == 1 ? host : held_only(host));
        rb->add_remote(f, f == 1 ? joiner : held_only(joiner));
        rb->run_next();
    }
    rb->rerun_last(BACK); // every list and saved state has its room now
    uint64_t allocations = 0;
    int64_t rollbacks = 0;
    for (auto _ : st) {
        uint64_t before = allocation_count();
        rb->rerun_last(BACK);
        allocations += allocation_count() - before;
        ++rollbacks;
    }
    delete rb;
    engine = real;
    scene_counters(st, *s);
    st.counters["allocs_per_rollback"] = rollbacks ? static_cast<double>(allocations) / rollbacks : 0.0;
}
#endif

void bm_raw(benchmark::State& st, Scene* s) {
    s->raw->draw();
    for (auto _ : st) s->raw->draw();
    scene_counters(st, *s);
    st.counters["geometry_calls"] = s->raw->geometry_calls();
}

// Records the scene's drawing and prepares the raw replay; checks that both draw the same picture.
bool capture(Scene* s, RecordingEngine* rec) {
    s->snapshot.restore(SEED);
    s->counts = count_scene();
    // Parts of the screen that no frame draws keep what earlier frames left there.
    std::vector<uint32_t> before;
    int bw = 0, bh = 0;
    if (!sdl_engine_read_pixels(rec->inner(), 0, &before, &bw, &bh)) {
        std::fprintf(stderr, "%s: cannot read the screen\n", s->name);
        return false;
    }
    rec->start_recording();
    render_func();
    std::vector<DrawOp> ops = rec->stop_recording();
    int w = engine->System_GetStateInt(HGE_SCREENWIDTH);
    int h = engine->System_GetStateInt(HGE_SCREENHEIGHT);
    s->raw = std::make_unique<RawReplay>(w, h);
    if (!s->raw->prepare(ops, *rec)) {
        std::fprintf(stderr, "%s: raw replay: %s\n", s->name, s->raw->error().c_str());
        return false;
    }
    s->quads = s->raw->quads();
    std::vector<uint32_t> game_pixels, raw_pixels;
    int gw = 0, gh = 0;
    bool seeded = s->raw->write_screen(before);
    s->raw->draw();
    if (!seeded || !sdl_engine_read_pixels(rec->inner(), 0, &game_pixels, &gw, &gh) ||
        !s->raw->read_screen(&raw_pixels) || game_pixels.size() != raw_pixels.size()) {
        std::fprintf(stderr, "%s: cannot read the pictures back\n", s->name);
        return false;
    }
    size_t differ = 0;
    for (size_t i = 0; i < game_pixels.size(); ++i)
        differ += (game_pixels[i] & 0xFFFFFFu) != (raw_pixels[i] & 0xFFFFFFu);
    std::fprintf(stderr,
                 "%s: %d enemies, %d bullets, %d explosions; %d quads in %d geometry calls; "
                 "raw picture differs from the game's in %zu of %zu pixels\n",
                 s->name, s->counts.enemies, s->counts.enemy_bullets + s->counts.player_bullets,
                 s->counts.explosions, s->quads, s->raw->geometry_calls(), differ,
                 game_pixels.size());
    return differ == 0;
}

} // namespace

int main(int argc, char** argv) {
    // --steps: before the benchmarks, where the raw frame's time goes.
    bool steps = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "--steps") continue;
        steps = true;
        for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
        --argc;
        break;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!start_game(SEED, KORVANE_DATA_DIR)) {
        std::fprintf(stderr, "bench_frame: the game did not start\n");
        return 1;
    }
    RecordingEngine* rec = static_cast<RecordingEngine*>(engine);
    Scene menu("menu"), stress("stress");
    bool ok = make_menu_scene(MENU_WARMUP_FRAMES, &menu.snapshot) &&
              make_stress_scene(STRESS_WARMUP_FRAMES, &stress.snapshot);
    if (!ok) std::fprintf(stderr, "bench_frame: a scene could not be reached\n");
    ok = ok && capture(&menu, rec) && capture(&stress, rec);
    if (ok && steps) {
        for (Scene* s : {&menu, &stress}) {
            std::fprintf(stderr, "%s, raw frame step by step:\n", s->name);
            s->raw->profile(20, stderr);
        }
    }
    if (ok) {
        for (Scene* s : {&menu, &stress}) {
            std::string n = s->name;
            benchmark::RegisterBenchmark(("update/" + n).c_str(), bm_update, s)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("draw/" + n).c_str(), bm_draw, s)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("raw/" + n).c_str(), bm_raw, s)
                ->Unit(benchmark::kMicrosecond);
#ifdef KORVANE_ONLINE
            benchmark::RegisterBenchmark(("rollback8/" + n).c_str(), bm_rollback, s)
                ->Unit(benchmark::kMicrosecond);
#endif
        }
        benchmark::RunSpecifiedBenchmarks();
    }
    menu.snapshot.clear();
    stress.snapshot.clear();
    menu.raw.reset();
    stress.raw.reset();
    stop_game();
    benchmark::Shutdown();
    return ok ? 0 : 1;
}
