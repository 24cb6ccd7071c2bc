// Frame benchmarks: the update (frame_func) and the drawing (render_func) of
// the menu demonstration and of a stress scene, against the same quads
// submitted raw to SDL's software renderer; with --window, drawn and
// presented in a real window against the same quads submitted raw to a
// window of the benchmark's own on the same kind of renderer (needs a display).
#include <benchmark/benchmark.h>

#include <chrono>
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
#include "main/app.h"
#include "raw_replay.h"
#include "recording_engine.h"
#include "render/render.h"
#include "render/resources.h"
#include "scenes.h"

namespace {

const int SEED = 20240611;
const int MENU_WARMUP_FRAMES = 900;
const int STRESS_WARMUP_FRAMES = 600;
// Frames played from the scene's frame before it is put back (half a second).
const int CYCLE_FRAMES = 30;

struct BenchScene {
    explicit BenchScene(const char* n) : name(n) {}
    const char* name;
    GameSnapshot snapshot;
    SceneCounts counts;
    std::unique_ptr<RawReplay> raw;
    std::unique_ptr<RawReplay> kept; // windowed: the raw drawing through a kept screen picture
    int quads = 0;
};

void scene_counters(benchmark::State& st, const BenchScene& s) {
    st.counters["enemies"] = s.counts.enemies;
    st.counters["bullets"] = s.counts.enemy_bullets + s.counts.player_bullets;
    st.counters["explosions"] = s.counts.explosions;
    st.counters["quads"] = s.quads;
}

// Plays the cycle's frames once without timing, so every list has the room the cycle needs.
void play_cycle(const BenchScene& s) {
    s.snapshot.restore(SEED);
    for (int i = 0; i < CYCLE_FRAMES; ++i) frame_func();
    s.snapshot.restore(SEED);
}

void bm_update(benchmark::State& st, BenchScene* s) {
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

void bm_draw(benchmark::State& st, BenchScene* s) {
    s->snapshot.restore(SEED);
    render_func();
    uint64_t allocations = 0, heap = 0;
    int64_t frames = 0;
    for (auto _ : st) {
        uint64_t before = allocation_count(), heap_before = heap_allocation_count();
        render_func();
        allocations += allocation_count() - before;
        heap += heap_allocation_count() - heap_before;
        ++frames;
    }
    scene_counters(st, *s);
    st.counters["allocs_per_frame"] = frames ? static_cast<double>(allocations) / frames : 0.0;
    // Everything on this thread, SDL and the graphics driver included.
    st.counters["heap_allocs_per_frame"] = frames ? static_cast<double>(heap) / frames : 0.0;
}

#ifdef KORVANE_ONLINE
// One rollback of online play: the state of 8 frames back put back and the
// 8 frames run again (each saving its state), both ships turning and firing.
void bm_rollback(benchmark::State& st, BenchScene* s) {
    const int BACK = 8;
    s->snapshot.restore(SEED);
    AppRunner game;
    Rollback* rb = new Rollback; // its saved states are large for the stack
    rb->start(0, &game, 1.0f / 60.0f, nullptr);
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
    scene_counters(st, *s);
    st.counters["allocs_per_rollback"] =
        rollbacks ? static_cast<double>(allocations) / rollbacks : 0.0;
}
#endif

// View 0 rebuilt as between the two-player menu (399 wide) and the one-player
// shop (800 wide), there and back, per iteration; `game`: as the game's
// drawing fits view 0 to the world's width, else the engine's Target_Free and
// Target_Create alone.
// Straight on the SDL engine, past the benchmark's recorder and its books.
// Counts every heap allocation of this thread (SDL's and the graphics
// driver's too) and operator new alone, per rebuild.
void bm_view_rebuild(benchmark::State& st, RecordingEngine* rec, bool game) {
    Engine* sdl = rec->inner();
    int h = sdl->System_GetStateInt(HGE_SCREENHEIGHT);
    int widths[2] = {half_width(app.world), sdl->System_GetStateInt(HGE_SCREENWIDTH)};
    HTARGET own = game ? 0 : sdl->Target_Create(widths[0], h, false);
    const float start = app.world.view_width[0];
    const float other = start == static_cast<float>(widths[0]) ? widths[1] : widths[0];
    auto round_trip = [&] {
        if (game) {
            for (float width : {other, start}) {
                app.world.view_width[0] = width;
                fit_views(app.world);
            }
            return;
        }
        for (int w : {widths[1], widths[0]}) {
            sdl->Target_Free(own);
            own = sdl->Target_Create(w, h, false);
        }
    };
    Engine* recorder = engine;
    engine = sdl;
    round_trip(); // the first of each size is made here
    uint64_t heap = 0, news = 0;
    int64_t rebuilds = 0;
    for (auto _ : st) {
        uint64_t heap_before = heap_allocation_count(), new_before = allocation_count();
        round_trip();
        heap += heap_allocation_count() - heap_before;
        news += allocation_count() - new_before;
        rebuilds += 2;
    }
    engine = recorder;
    if (own) sdl->Target_Free(own);
    st.counters["heap_allocs_per_rebuild"] = rebuilds ? static_cast<double>(heap) / rebuilds : 0.0;
    st.counters["news_per_rebuild"] = rebuilds ? static_cast<double>(news) / rebuilds : 0.0;
    st.counters["rebuilds_per_iteration"] = 2;
}

// The scene's quads submitted raw, by `raw` (the scene's own or its kept-screen one).
void bm_raw(benchmark::State& st, BenchScene* s, RawReplay* raw) {
    raw->draw();
    for (auto _ : st) raw->draw();
    scene_counters(st, *s);
    st.counters["geometry_calls"] = raw->geometry_calls();
}

// The game's frame and the raw one, alternately, in the same iteration and
// in turn first, so the two meet the same moments of a noisy machine (the
// window's renderer shares the cores with everything else); wall-clock time.
void bm_pair(benchmark::State& st, BenchScene* s) {
    using Clock = std::chrono::steady_clock;
    s->snapshot.restore(SEED);
    render_func();
    s->raw->draw();
    auto game_frame = [] { render_func(); };
    auto raw_frame = [s] { s->raw->draw(); };
    auto timed = [](auto draw) {
        Clock::time_point start = Clock::now();
        draw();
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    };
    double game = 0, raw = 0;
    int64_t frames = 0;
    for (auto _ : st) {
        if (frames++ & 1) {
            raw += timed(raw_frame);
            game += timed(game_frame);
        } else {
            game += timed(game_frame);
            raw += timed(raw_frame);
        }
    }
    scene_counters(st, *s);
    st.counters["game_us"] = frames ? game / frames : 0.0;
    st.counters["raw_us"] = frames ? raw / frames : 0.0;
}

// Prepares a raw replay of the recorded drawing and checks that it draws the
// game's picture, pixel for pixel; `before` is the screen as earlier frames left it.
bool check_raw(const BenchScene& s, RawReplay* raw, const std::vector<DrawOp>& ops,
               RecordingEngine* rec, const std::vector<uint32_t>& before, const char* how) {
    if (!raw->prepare(ops, *rec)) {
        std::fprintf(stderr, "%s: raw replay: %s\n", s.name, raw->error().c_str());
        return false;
    }
    std::vector<uint32_t> game_pixels, raw_pixels;
    int gw = 0, gh = 0;
    bool seeded = raw->write_screen(before);
    raw->draw(false);
    if (!seeded || !sdl_engine_read_pixels(rec->inner(), 0, &game_pixels, &gw, &gh) ||
        !raw->read_screen(&raw_pixels) || game_pixels.size() != raw_pixels.size()) {
        std::fprintf(stderr, "%s: cannot read the pictures back\n", s.name);
        return false;
    }
    size_t differ = 0;
    for (size_t i = 0; i < game_pixels.size(); ++i)
        differ += (game_pixels[i] & 0xFFFFFFu) != (raw_pixels[i] & 0xFFFFFFu);
    std::fprintf(stderr,
                 "%s: %d enemies, %d bullets, %d explosions; %d quads in %d geometry calls; "
                 "%s picture differs from the game's in %zu of %zu pixels\n",
                 s.name, s.counts.enemies, s.counts.enemy_bullets + s.counts.player_bullets,
                 s.counts.explosions, raw->quads(), raw->geometry_calls(), how, differ,
                 game_pixels.size());
    return differ == 0;
}

// Records the scene's drawing and prepares the raw replays; checks that they draw the same picture.
bool capture(BenchScene* s, RecordingEngine* rec, bool window) {
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
    if (!window) {
        s->raw = std::make_unique<RawReplay>(w, h);
        bool ok = check_raw(*s, s->raw.get(), ops, rec, before, "raw");
        s->quads = s->raw->quads();
        return ok;
    }
    // The raw windows lie left and right of the game's, which is centred, so
    // none hides another (the display must be three windows wide).
    s->raw = std::make_unique<RawReplay>(w, h, 0, 0, false);
    s->kept = std::make_unique<RawReplay>(w, h, 2 * w, 0, true);
    bool ok = check_raw(*s, s->raw.get(), ops, rec, before, "raw") &&
              check_raw(*s, s->kept.get(), ops, rec, before, "raw kept-screen");
    s->quads = s->raw->quads();
    return ok;
}

// Takes a flag of our own out of argv; whether it was there.
bool take_flag(int* argc, char** argv, const char* flag) {
    for (int i = 1; i < *argc; ++i) {
        if (std::string(argv[i]) != flag) continue;
        for (int j = i; j + 1 < *argc; ++j) argv[j] = argv[j + 1];
        --*argc;
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // --steps: before the benchmarks, where the raw frame's time goes.
    bool steps = take_flag(&argc, argv, "--steps");
    bool window = take_flag(&argc, argv, "--window");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    GameStart how;
    how.windowed = window;
    how.vsync = 0; // a frame as fast as it can be drawn
    if (!start_game(SEED, KORVANE_DATA_DIR, how)) {
        std::fprintf(stderr, "bench_frame: the game did not start\n");
        return 1;
    }
    RecordingEngine* rec = static_cast<RecordingEngine*>(engine);
    BenchScene menu("menu"), stress("stress");
    bool ok = make_menu_scene(MENU_WARMUP_FRAMES, &menu.snapshot) &&
              make_stress_scene(STRESS_WARMUP_FRAMES, &stress.snapshot);
    if (!ok) std::fprintf(stderr, "bench_frame: a scene could not be reached\n");
    ok = ok && capture(&menu, rec, window) && capture(&stress, rec, window);
    if (ok && steps) {
        for (BenchScene* s : {&menu, &stress}) {
            std::fprintf(stderr, "%s, raw frame step by step:\n", s->name);
            s->raw->profile(20, stderr);
        }
    }
    if (ok) {
        for (BenchScene* s : {&menu, &stress}) {
            std::string n = s->name;
            benchmark::RegisterBenchmark(("update/" + n).c_str(), bm_update, s)
                ->Unit(benchmark::kMicrosecond);
            if (window) {
                // The window's renderer works on threads of its own: wall-clock time.
                benchmark::RegisterBenchmark(("window_draw/" + n).c_str(), bm_draw, s)
                    ->Unit(benchmark::kMicrosecond)
                    ->UseRealTime();
                benchmark::RegisterBenchmark(("window_raw/" + n).c_str(), bm_raw, s, s->raw.get())
                    ->Unit(benchmark::kMicrosecond)
                    ->UseRealTime();
                benchmark::RegisterBenchmark(("window_kept/" + n).c_str(), bm_raw, s, s->kept.get())
                    ->Unit(benchmark::kMicrosecond)
                    ->UseRealTime();
                benchmark::RegisterBenchmark(("window_pair/" + n).c_str(), bm_pair, s)
                    ->Unit(benchmark::kMicrosecond)
                    ->UseRealTime();
                continue;
            }
            benchmark::RegisterBenchmark(("draw/" + n).c_str(), bm_draw, s)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("raw/" + n).c_str(), bm_raw, s, s->raw.get())
                ->Unit(benchmark::kMicrosecond);
#ifdef KORVANE_ONLINE
            benchmark::RegisterBenchmark(("rollback8/" + n).c_str(), bm_rollback, s)
                ->Unit(benchmark::kMicrosecond);
#endif
        }
        std::string prefix = window ? "window_rebuild/" : "rebuild/";
        for (bool game : {false, true})
            benchmark::RegisterBenchmark((prefix + (game ? "game" : "engine")).c_str(),
                                         bm_view_rebuild, rec, game)
                ->Unit(benchmark::kMicrosecond)
                ->UseRealTime();
        benchmark::RunSpecifiedBenchmarks();
    }
    menu.snapshot.clear();
    stress.snapshot.clear();
    for (BenchScene* s : {&menu, &stress}) {
        s->raw.reset();
        s->kept.reset();
    }
    stop_game();
    benchmark::Shutdown();
    return ok ? 0 : 1;
}
