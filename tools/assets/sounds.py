"""The ten sound effects, synthesised from scratch (numpy/scipy), mono
44.1 kHz, levelled to one loudness and encoded to MP3 with lame."""

import os
import subprocess
import wave

import numpy as np
from scipy import signal

SR = 44100

# Loudness target: the loudest 50 ms of every effect sits at this RMS, and
# no sample goes above the ceiling (headroom for the MP3 encoder).
TARGET_RMS_DB = -12.0
MUSIC_RMS_DB = -15.0
CEILING = 10 ** (-1.0 / 20)


def tt(dur):
    return np.arange(int(dur * SR)) / SR


def expdecay(n, tau, attack=0.002):
    t = np.arange(n) / SR
    a = np.clip(t / attack, 0, 1) if attack > 0 else 1.0
    return a * np.exp(-t / tau)


def fade_out(x, dur):
    n = min(len(x), int(dur * SR))
    x = x.copy()
    x[-n:] *= np.linspace(1, 0, n) ** 2
    return x


def sweep_phase(f0, f1, n, curve="exp"):
    k = np.linspace(0, 1, n)
    f = f0 * (f1 / f0) ** k if curve == "exp" else f0 + (f1 - f0) * k
    return 2 * np.pi * np.cumsum(f) / SR, f


def lp(x, fc, order=2):
    return signal.sosfilt(signal.butter(order, fc, "low", fs=SR, output="sos"), x)


def hp(x, fc, order=2):
    return signal.sosfilt(signal.butter(order, fc, "high", fs=SR, output="sos"), x)


def bp(x, lo, hi, order=2):
    return signal.sosfilt(signal.butter(order, [lo, hi], "band", fs=SR, output="sos"), x)


def svf_lowpass(x, fc, q=0.7):
    """Lowpass with a cutoff that moves sample by sample (fc is an array)."""
    low = band = 0.0
    out = np.empty_like(x)
    f = 2 * np.sin(np.pi * np.clip(fc, 20, SR / 6) / SR)
    damp = 1.0 / q
    for i in range(len(x)):
        high = x[i] - low - damp * band
        band += f[i] * high
        low += f[i] * band
        out[i] = low
    return out


def polyblep_saw(phase_cycles, dt):
    """Band-limited saw from a phase in cycles and per-sample increment."""
    p = phase_cycles % 1.0
    y = 2 * p - 1
    m = p < dt
    t = p[m] / dt[m] if np.ndim(dt) else p[m] / dt
    y[m] -= t + t - t * t - 1
    m = p > 1 - dt
    t = (p[m] - 1) / (dt[m] if np.ndim(dt) else dt)
    y[m] -= t * t + t + t + 1
    return y


def saw(freq, n, detune_cents=0.0, phase0=0.0):
    f = freq * 2 ** (detune_cents / 1200)
    dt = f / SR
    ph = phase0 + dt * np.arange(n)
    return polyblep_saw(ph, dt)


def window_rms_max(x, win=0.05):
    n = int(win * SR)
    if len(x) <= n:
        return float(np.sqrt(np.mean(x ** 2)))
    c = np.cumsum(np.concatenate([[0.0], x ** 2]))
    return float(np.sqrt(np.max(c[n:] - c[:-n]) / n))


def level(x, rms_db=TARGET_RMS_DB, win=0.05):
    """Scale to the loudness target, then round off peaks above the ceiling."""
    x = x - np.mean(x)
    x = x * (10 ** (rms_db / 20) / max(window_rms_max(x, win), 1e-9))
    knee = CEILING * 0.75
    over = np.abs(x) > knee
    room = CEILING - knee
    y = x.copy()
    y[over] = np.sign(x[over]) * (knee + room * np.tanh((np.abs(x[over]) - knee) / room))
    return y


# ---------------------------------------------------------------- effects

def pl_fire(rng):
    n = int(0.16 * SR)
    ph, f = sweep_phase(1700, 240, n)
    tone = 0.55 * np.sin(ph) + 0.45 * np.sign(np.sin(ph)) * 0.6
    tone = lp(tone, 5000)
    click = bp(rng.standard_normal(n), 2500, 7000) * expdecay(n, 0.006, 0.0005)
    return tone * expdecay(n, 0.045, 0.002) + 0.5 * click


def en_fire_khh(rng):
    n = int(0.3 * SR)
    noise = rng.standard_normal(n)
    hold = np.repeat(noise[::7], 7)[:n]          # sample-and-hold grit
    body = bp(0.6 * noise + 0.7 * hold, 500, 4200) * expdecay(n, 0.07, 0.003)
    ph, _ = sweep_phase(160, 55, n)
    thump = np.sin(ph) * expdecay(n, 0.05, 0.002)
    return fade_out(body + 0.5 * thump, 0.05)


def en_fire_piu(rng):
    n = int(0.26 * SR)
    ph, _ = sweep_phase(1900, 320, n)
    tone = np.sin(ph) + 0.25 * np.sin(2 * ph) + 0.1 * np.sin(3 * ph)
    env = np.clip(np.arange(n) / (0.004 * SR), 0, 1) * (1 - np.linspace(0, 1, n)) ** 1.5
    return tone * env


def boom(rng, dur, tau, f_hi, f_lo, sub, sub_tau, crackle):
    n = int(dur * SR)
    t = np.arange(n) / SR
    noise = rng.standard_normal(n)
    cutoff = f_lo + (f_hi - f_lo) * np.exp(-t / (tau * 0.6))
    body = svf_lowpass(noise, cutoff, 0.8) * expdecay(n, tau, 0.004)
    crack = hp(noise, 1500) * expdecay(n, 0.012, 0.0005)
    ph, _ = sweep_phase(sub[0], sub[1], n)
    low = np.sin(ph) * expdecay(n, sub_tau, 0.005)
    x = 1.0 * body + 0.5 * crack + 0.9 * low
    if crackle:
        imp = np.zeros(n)
        k = int(crackle * dur)
        pos = (rng.uniform(0, 1, k) ** 1.8 * n).astype(int)
        imp[np.clip(pos, 0, n - 1)] = rng.uniform(-1, 1, k)
        x += 0.35 * bp(imp, 800, 5000) * np.exp(-t / (dur * 0.4)) * 6
    return fade_out(x, dur * 0.3)


def small_boom(rng):
    return boom(rng, 0.62, 0.14, 3200, 250, (110, 40), 0.12, 60)


def big_boom(rng):
    return boom(rng, 1.45, 0.36, 2400, 120, (70, 26), 0.42, 140)


def bell(freq, n, tau, bright=1.0):
    t = np.arange(n) / SR
    index = 2.2 * bright * np.exp(-t / (tau * 0.4))
    mod = np.sin(2 * np.pi * freq * 3.5 * t)
    return np.sin(2 * np.pi * freq * t + index * mod) * expdecay(n, tau, 0.002)


def start_level(rng):
    n = int(0.95 * SR)
    x = np.zeros(n)
    notes = [440.0, 554.37, 659.26, 880.0]
    for i, f in enumerate(notes):
        s = int(i * 0.085 * SR)
        m = n - s
        x[s:] += 0.6 * (bell(f, m, 0.22, 0.6) + 0.35 * np.sin(2 * np.pi * f * 2 * np.arange(m) / SR) * expdecay(m, 0.12))
    s = int(0.34 * SR)
    m = n - s
    for f in (880.0, 1108.73, 1318.51):
        x[s:] += 0.3 * bell(f, m, 0.35, 0.4)
    whoosh = bp(rng.standard_normal(n), 1200, 6000) * np.sin(np.linspace(0, np.pi, n)) ** 2 * 0.12
    return fade_out(x + whoosh, 0.2)


def en_rocket(rng):
    n = int(0.75 * SR)
    t = np.arange(n) / SR
    noise = rng.standard_normal(n)
    fc = 500 + 2600 * (1 - np.exp(-t / 0.18))
    roar = svf_lowpass(noise, fc, 1.6)
    env = np.clip(t / 0.03, 0, 1) * np.exp(-np.clip(t - 0.12, 0, None) / 0.22)
    ph, _ = sweep_phase(90, 45, n)
    thump = np.sin(ph) * expdecay(n, 0.06, 0.002)
    hiss = hp(noise, 5000) * env * 0.15
    return fade_out(roar * env + 0.6 * thump + hiss, 0.15)


def armor(rng):
    n = int(0.34 * SR)
    t = np.arange(n) / SR
    base = 415.0
    x = np.zeros(n)
    for ratio, amp, tau in ((1.0, 1.0, 0.11), (2.32, 0.7, 0.08), (3.86, 0.5, 0.05), (5.41, 0.35, 0.035),
                            (7.13, 0.25, 0.025), (9.6, 0.15, 0.018)):
        x += amp * np.sin(2 * np.pi * base * ratio * t * (1 - 0.01 * t)) * expdecay(n, tau, 0.0008)
    click = hp(rng.standard_normal(n), 3000) * expdecay(n, 0.004, 0.0003)
    thud = np.sin(2 * np.pi * 120 * t) * expdecay(n, 0.03, 0.001)
    return fade_out(x + 0.6 * click + 0.5 * thud, 0.05)


def upgrade(rng):
    n = int(0.72 * SR)
    x = np.zeros(n)
    for start, f in ((0.0, 1318.51), (0.09, 1975.53)):
        s = int(start * SR)
        x[s:] += bell(f, n - s, 0.25, 0.5) + 0.3 * bell(f * 2, n - s, 0.12, 0.3)
    for _ in range(10):
        s = int(rng.uniform(0.05, 0.45) * SR)
        f = rng.uniform(3000, 6000)
        x[s:] += 0.08 * np.sin(2 * np.pi * f * np.arange(n - s) / SR) * expdecay(n - s, 0.04, 0.001)
    return fade_out(x, 0.15)


# ---------------------------------------------------------------- music

def _comb(x, d, g):
    y = x.copy()
    for s in range(d, len(x), d):
        e = min(s + d, len(x))
        y[s:e] += g * y[s - d:e - d]
    return y


def _allpass(x, d, g):
    # y[n] = -g x[n] + x[n-d] + g y[n-d], block by block
    y = -g * x
    for s in range(d, len(x), d):
        e = min(s + d, len(x))
        y[s:e] += x[s - d:e - d] + g * y[s - d:e - d]
    return y


def reverb(x, mix_amt=0.25):
    """Four combs and two all-passes: enough air for pads and arpeggios."""
    out = sum(_comb(x, d, g) for d, g in ((1557, 0.80), (1617, 0.79), (1491, 0.81), (1422, 0.80))) / 4
    for d, g in ((225, 0.7), (556, 0.7)):
        out = _allpass(out, d, g)
    return x * (1 - mix_amt) + out * mix_amt


def note_hz(midi):
    return 440.0 * 2 ** ((midi - 69) / 12)


def intro(rng):
    bpm = 112.0
    beat = 60 / bpm
    bar = 4 * beat
    # D minor: i - VI - III - VII, twice over, then iv - V - i
    D, Bb, F, C, Gm, A = ([50, 53, 57], [46, 50, 53], [53, 57, 60], [48, 52, 55], [43, 46, 50], [45, 49, 52])
    chords = [D, Bb, F, C] * 4 + [Gm, A, D, D]
    nbars = len(chords)
    total = nbars * bar + 3.0
    n = int(total * SR)
    pad = np.zeros(n)
    arp = np.zeros(n)
    bass = np.zeros(n)
    drums = np.zeros(n)

    # pads: detuned saws, soft attack, overlapping release
    for i, ch in enumerate(chords):
        s = int(i * bar * SR)
        length = bar + (2.5 if i == nbars - 2 else 0.9)
        if i == nbars - 1:
            continue
        m = min(int(length * SR), n - s)
        tt_ = np.arange(m) / SR
        held = bar * (2 if i == nbars - 2 else 1)
        env = np.clip(tt_ / 0.5, 0, 1) * np.clip((held + 0.9 - tt_) / 0.9, 0, 1)
        voice = np.zeros(m)
        for midi in ch + [ch[0] + 12]:
            for dc in (-9, 0, 8):
                voice += saw(note_hz(midi + 12 * (midi < 50)), m, dc, rng.uniform())
        pad[s:s + m] += voice * env
    lfo = 0.5 + 0.5 * np.sin(2 * np.pi * np.arange(n) / SR / (bar * 2))
    pad = lp(pad, 900) * (1 - 0.5 * lfo) + lp(pad, 2400) * 0.5 * lfo
    fade_in = np.clip(np.arange(n) / SR / (bar * 2), 0, 1)
    pad *= fade_in

    # arpeggio from bar 4: chord tones in sixteenths, plucked
    step = beat / 4
    pattern = [0, 1, 2, 3, 2, 1, 0, 2, 0, 1, 2, 3, 4, 3, 2, 1]
    for i, ch in enumerate(chords[4:nbars - 2], start=4):
        tones = [ch[0] + 12, ch[1] + 12, ch[2] + 12, ch[0] + 24, ch[1] + 24]
        for k in range(16):
            s = int((i * bar + k * step) * SR)
            m = int(step * 1.8 * SR)
            f = note_hz(tones[pattern[k]])
            tone = saw(f, m) * 0.6 + np.sign(np.sin(2 * np.pi * f * np.arange(m) / SR)) * 0.25
            accent = 1.0 if k % 4 == 0 else 0.7
            arp[s:s + m] += tone * expdecay(m, 0.09, 0.002) * accent
    arp = lp(arp, 2800)
    delayed = np.zeros(n)
    d = int(3 * step * SR)
    delayed[d:] = arp[:-d]
    arp = arp + 0.35 * delayed

    # bass and drums from bar 8
    eighth = beat / 2
    for i, ch in enumerate(chords[8:nbars - 1], start=8):
        for k in range(8):
            if i == nbars - 2 and k > 0:
                break
            s = int((i * bar + k * eighth) * SR)
            held = eighth * (8 if i == nbars - 2 else 0.9)
            m = int(held * SR)
            midi = ch[0] - 12 + (12 if k in (3, 7) else 0)
            tone = saw(note_hz(midi), m) + 0.5 * saw(note_hz(midi), m, 7)
            bass[s:s + m] += lp(tone, 500 + 300 * (k % 2 == 0)) * expdecay(m, held * 0.8, 0.004)

    def kick(at, amp=1.0):
        s = int(at * SR)
        m = min(int(0.35 * SR), n - s)
        ph, _ = sweep_phase(150, 42, m)
        drums[s:s + m] += amp * (np.sin(ph) * expdecay(m, 0.16, 0.001) +
                                  0.3 * hp(rng.standard_normal(m), 3000) * expdecay(m, 0.003))

    def snare(at, amp=1.0):
        s = int(at * SR)
        m = min(int(0.25 * SR), n - s)
        noise = bp(rng.standard_normal(m), 1200, 7000) * expdecay(m, 0.09, 0.001)
        tone = np.sin(2 * np.pi * 190 * np.arange(m) / SR) * expdecay(m, 0.05, 0.001)
        drums[s:s + m] += amp * (0.55 * noise + 0.4 * tone)

    def hat(at, amp=1.0, tau=0.025):
        s = int(at * SR)
        m = min(int(0.2 * SR), n - s)
        drums[s:s + m] += amp * 0.22 * hp(rng.standard_normal(m), 7500) * expdecay(m, tau, 0.0005)

    def crash(at, amp=1.0):
        s = int(at * SR)
        m = n - s
        drums[s:s + m] += amp * 0.3 * hp(rng.standard_normal(m), 4000) * expdecay(m, 0.9, 0.002)

    for i in range(8, nbars - 2):
        t0 = i * bar
        kick(t0)
        kick(t0 + 2 * beat)
        if i % 2 == 1:
            kick(t0 + 2.5 * beat, 0.6)
        snare(t0 + beat)
        snare(t0 + 3 * beat)
        for k in range(8):
            hat(t0 + k * eighth, 1.0 if k % 2 else 0.6, 0.06 if k == 7 else 0.025)
        if i == nbars - 3:
            for k in range(4):
                snare(t0 + 3 * beat + k * beat / 4, 0.5 + 0.15 * k)
    crash(8 * bar, 0.8)
    crash((nbars - 2) * bar, 1.0)
    kick((nbars - 2) * bar, 1.2)

    sparkle = np.zeros(n)
    for k in range(40):
        at = rng.uniform(0.5, (nbars - 1) * bar)
        s = int(at * SR)
        m = min(int(0.6 * SR), n - s)
        ch = chords[min(int(at / bar), nbars - 1)]
        f = note_hz(ch[k % 3] + 36)
        sparkle[s:s + m] += np.sin(2 * np.pi * f * np.arange(m) / SR) * expdecay(m, 0.25, 0.01) * 0.5

    mix_ = (0.16 * pad + 0.2 * arp + 0.55 * bass) + 0.12 * sparkle
    mix_ = reverb(mix_, 0.3) + 0.9 * drums
    return fade_out(mix_, 3.5)


EFFECTS = [
    # (file, function, longest allowed seconds)
    ("upgrade.mp3", upgrade, 1.0),
    ("intro.mp3", intro, 60.0),
    ("pl_fire.mp3", pl_fire, 1.0),
    ("en_fire_khh.mp3", en_fire_khh, 1.0),
    ("small_boom.mp3", small_boom, 1.0),
    ("big_boom.mp3", big_boom, 1.6),
    ("start_level.mp3", start_level, 1.0),
    ("en_fire_piu.mp3", en_fire_piu, 1.0),
    ("en_rocket.mp3", en_rocket, 1.0),
    ("armor.mp3", armor, 1.0),
]
LENGTH_RANGE = {"intro.mp3": (30.0, 60.0)}


def synth(name):
    for i, (fname, fn, _) in enumerate(EFFECTS):
        if fname == name:
            x = fn(np.random.default_rng(1000 + i))
            if name == "intro.mp3":
                return level(x, MUSIC_RMS_DB, 0.4)
            return level(x)
    raise KeyError(name)


def write_wav(path, x):
    pcm = np.round(np.clip(x, -1, 1) * 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(pcm.tobytes())


def read_wav(path):
    with wave.open(path, "rb") as w:
        ch, rate = w.getnchannels(), w.getframerate()
        pcm = np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(np.float64) / 32768
    if ch > 1:
        pcm = pcm.reshape(-1, ch).mean(axis=1)
    return pcm, rate


def encode(x, mp3_path, tmpdir):
    wav = os.path.join(tmpdir, os.path.basename(mp3_path) + ".wav")
    write_wav(wav, x)
    subprocess.run(["lame", "--quiet", "--noreplaygain", "-m", "m", "-V", "2", wav, mp3_path], check=True)
    os.remove(wav)


def decode(mp3_path, tmpdir):
    wav = os.path.join(tmpdir, os.path.basename(mp3_path) + ".dec.wav")
    subprocess.run(["lame", "--quiet", "--decode", mp3_path, wav], check=True)
    x, rate = read_wav(wav)
    os.remove(wav)
    return x, rate
