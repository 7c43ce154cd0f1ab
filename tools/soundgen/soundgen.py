#!/usr/bin/python3
"""soundgen.py: makes the client's music, effects and spoken voices.

Music and effects are synthesised with sox; the voices are spoken by espeak-ng
in Mandarin (voice cmn). Everything is 11025 Hz mono 16-bit PCM to keep the
shared folders small. Deterministic: sox runs in repeatable mode and espeak-ng
has no randomness. Usage:

    soundgen.py COMMON_DIR
    soundgen.py --chat-ini FILE

writes COMMON_DIR/music/<the seven sound files> and COMMON_DIR/mj/<voices>;
with --chat-ini only the client's quick-phrase file, in GBK, whose phrases are
the ones the voices speak.
"""
import argparse
import concurrent.futures
import os
import shutil
import subprocess
import sys
import tempfile

RATE = "11025"
SOX = shutil.which("sox") or "/usr/bin/sox"
ESPEAK = shutil.which("espeak-ng") or "/usr/bin/espeak-ng"

# Voice styles as the voice names spell them: the two voice codes, the sex and
# the voice sex. Once the table is full every woman speaks "00" "10" with sex 0 and
# voice sex 2, every man "00" "10" with sex 1 and voice sex 3, and the settings
# dialog's dialect switch gives men "30".
STYLES = [
    ("v001002", "cmn+f3", 175, 60),   # woman
    ("v001013", "cmn+m3", 165, 40),   # man, standard Mandarin
    ("v003013", "cmn+m7", 190, 25),   # man, the dialect style: faster, lower
]

NUMBERS = "一二三四五六七八九"
HONOURS = ["东风", "南风", "西风", "北风", "红中", "发财", "白板"]

# The quick phrases of the two lists, in list order; chat.ini's Phrase1 and
# Phrase2 sections should hold the same lines so that text and voice agree.
PHRASES1 = [
    "大家好，很高兴见到各位！",
    "快点吧，我等得花儿都谢了！",
    "不要走，决战到天亮！",
    "你的牌打得太好了！",
    "又断线了，网络怎么这么差啊！",
    "和你合作真是太愉快了！",
    "我们交个朋友吧！",
    "再见了，我会想念大家的！",
]
PHRASES2 = [
    "不好意思，我要离开一会儿。",
    "今天手气真不错！",
    "各位，真是不好意思！",
    "你是美眉还是哥哥？",
    "别吵了，专心玩游戏吧！",
    "这把牌太烂了！",
    "快出牌啊！",
    "谢谢大家，下次再玩！",
]


def voice_texts():
    """{suffix without .wav: spoken text} for every voice name the table builds."""
    texts = {}
    # Discards: voice suit (the suit bit with 4 and 8 exchanged) and rank.
    for rank in range(1, 8):
        texts[f"1{rank}"] = HONOURS[rank - 1]
    for rank in range(1, 10):
        texts[f"2{rank}"] = "幺鸡" if rank == 1 else NUMBERS[rank - 1] + "条"
        texts[f"8{rank}"] = NUMBERS[rank - 1] + "万"   # 萬, suit bit 4
        texts[f"4{rank}"] = NUMBERS[rank - 1] + "筒"   # 筒, suit bit 8
    texts["01"] = "吃"
    texts["02"] = "碰"
    texts["03"] = "杠"
    texts["09"] = "胡了"
    for n, p in enumerate(PHRASES1, 1):
        texts[f"0010{n}"] = p
    for n, p in enumerate(PHRASES2, 1):
        texts[f"0020{n}"] = p
    return texts


def run(args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def speak(text, voice, speed, pitch, out):
    with tempfile.NamedTemporaryFile(suffix=".wav", delete=False) as tmp:
        raw = tmp.name
    try:
        run([ESPEAK, "-v", voice, "-s", str(speed), "-p", str(pitch), "-w", raw, text])
        # trim the leading silence so a voice follows its tile at once
        run([SOX, "-R", raw, "-r", RATE, "-c", "1", "-b", "16", out,
             "silence", "1", "0.02", "1%", "gain", "-n", "-2"])
    finally:
        os.unlink(raw)


def sox(*args):
    run([SOX, "-R", *args])


def note_file(tmp, i, freq, length, kind="pluck"):
    path = os.path.join(tmp, f"n{i:03d}.wav")
    sox("-n", "-r", RATE, "-c", "1", "-b", "16", path, "synth", f"{length}", kind, f"{freq}",
        "fade", "0", f"{length}", f"{min(0.2, length / 2)}", "gain", "-6")
    return path


def music(out_dir, tmp):
    music_dir = os.path.join(out_dir, "music")
    os.makedirs(music_dir, exist_ok=True)
    out = lambda name: os.path.join(music_dir, name)  # noqa: E731

    # majiang.wav: a short pentatonic tune over a drone, made to loop cleanly.
    scale = {"C": 261.63, "D": 293.66, "E": 329.63, "G": 392.0, "A": 440.0, "c": 523.25, "d": 587.33, "e": 659.25}
    tune = "E D E G A G E D C D E G E D C C G A c A G E D E".split()
    notes = [note_file(tmp, i, scale[n], 0.32) for i, n in enumerate(tune)]
    melody = os.path.join(tmp, "melody.wav")
    sox(*notes, melody)
    length = 0.32 * len(tune)
    drone = os.path.join(tmp, "drone.wav")
    sox("-n", "-r", RATE, "-c", "1", "-b", "16", drone, "synth", f"{length}", "sine", "130.81",
        "sine", "196", "tremolo", "0.5", "40", "gain", "-22")
    sox("-m", melody, drone, out("majiang.wav"), "gain", "-n", "-3")

    # dapai.wav: a tile knocked onto the table.
    sox("-n", "-r", RATE, "-c", "1", "-b", "16", out("dapai.wav"), "synth", "0.14", "brownnoise",
        "synth", "0.14", "sine", "amod", "900", "lowpass", "2200", "fade", "0", "0.14", "0.12", "gain", "-n", "-2")
    # qupai.wav: a tile picked up: two light clicks.
    click = os.path.join(tmp, "click.wav")
    sox("-n", "-r", RATE, "-c", "1", "-b", "16", click, "synth", "0.05", "pinknoise", "highpass", "1500",
        "fade", "0", "0.05", "0.045", "pad", "0", "0.04")
    sox(click, click, out("qupai.wav"), "gain", "-n", "-4")
    # xipai.wav: the wall shuffled: rustling noise swelling and fading.
    sox("-n", "-r", RATE, "-c", "1", "-b", "16", out("xipai.wav"), "synth", "1.6", "brownnoise",
        "tremolo", "14", "70", "lowpass", "3000", "fade", "q", "0.3", "1.6", "0.5", "gain", "-n", "-4")
    # zhise.wav: dice rattling in a bowl: clicks of varied pitch.
    clicks = []
    for i, (f, gap) in enumerate([(2400, 0.06), (1900, 0.09), (2700, 0.05), (2100, 0.11), (2500, 0.07), (1800, 0.14), (2300, 0.2)]):
        p = os.path.join(tmp, f"d{i}.wav")
        sox("-n", "-r", RATE, "-c", "1", "-b", "16", p, "synth", "0.03", "sine", f"{f}",
            "fade", "0", "0.03", "0.028", "pad", "0", f"{gap}")
        clicks.append(p)
    sox(*clicks, out("zhise.wav"), "gain", "-n", "-3")
    # tishi.wav: the countdown prompt: a two-note chime.
    a = note_file(tmp, 900, 880, 0.18, "sine")
    b = note_file(tmp, 901, 1318.5, 0.3, "sine")
    sox(a, b, out("tishi.wav"), "gain", "-n", "-3")
    # lianlai.wav: the consecutive-wild fanfare: a rising arpeggio and a held chord.
    arp = [note_file(tmp, 950 + i, f, 0.12) for i, f in enumerate([392, 523.25, 659.25, 783.99, 1046.5])]
    run_up = os.path.join(tmp, "arp.wav")
    sox(*arp, run_up)
    chord = os.path.join(tmp, "chord.wav")
    sox("-n", "-r", RATE, "-c", "1", "-b", "16", chord, "synth", "0.8", "pluck", "523.25", "pluck", "659.25",
        "pluck", "783.99", "fade", "0", "0.8", "0.5")
    sox(run_up, chord, out("lianlai.wav"), "gain", "-n", "-2")


def voices(out_dir, jobs):
    mj = os.path.join(out_dir, "mj")
    os.makedirs(mj, exist_ok=True)
    work = []
    for prefix, voice, speed, pitch in STYLES:
        for suffix, text in voice_texts().items():
            work.append((text, voice, speed, pitch, os.path.join(mj, f"{prefix}{suffix}.wav")))
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for f in [pool.submit(speak, *w) for w in work]:
            f.result()
    return len(work)


def write_chat_ini(path):
    lines = []
    for section, phrases in (("Phrase1", PHRASES1), ("Phrase2", PHRASES2)):
        lines.append(f"[{section}]")
        lines.append(f"num={len(phrases)}")
        lines += [f"{n}={p}" for n, p in enumerate(phrases, 1)]
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("gbk"))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("common", nargs="?")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 4)
    ap.add_argument("--chat-ini", metavar="FILE", help="write only the quick-phrase file")
    args = ap.parse_args()
    if args.chat_ini:
        write_chat_ini(args.chat_ini)
        return 0
    if not args.common:
        ap.error("COMMON_DIR is required")
    with tempfile.TemporaryDirectory() as tmp:
        music(args.common, tmp)
    voices(args.common, args.jobs)
    with open(os.path.join(args.common, "sounds.stamp"), "w", encoding="utf-8") as f:
        f.write("made by tools/soundgen/soundgen.py\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
