#!/usr/bin/env python3
"""Prints the table that ends `make bench`: each figure beside its aim and, where there is one, beside
its baseline measured in the same run, so a reader sees ratios and not only absolute times. Each figure
is the min and the median of the benchmark's repetitions (bench/bench_repetitions.h); the aim is judged
on the median.

The ratios of the side-by-side and storage rows depend on the cores the programs may use and on what
else the machine does, so the table first says both: the cores this run may use (`taskset -c` narrows
them) and the load average at the start of the run (noted by `--start`) and at its end.

Usage: bench_table.py [--start] <folder of bench_*.json files written with --benchmark_out>
"""
import json
import os
import re
import sys
from pathlib import Path

TO_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}

# (figure, program, benchmark, what to read, aim as (comparison, value), baseline (program, benchmark, label))
# What to read: "time" (real time in the unit named second), "cpu" (CPU time) or a counter's name; a third
# item names the one aggregate to read instead of the min and median (such as "max", the slowest run). A
# baseline may name a fourth item, the counter to read from its runs instead (a baseline measured in the
# same runs as the figure).
ROWS = [
    ("timer tick, CPU", "bench_timer_tick", "BM_TimerTick", ("cpu", "us"), ("<", 20), None),
    ("timer tick, file writes per tick", "bench_timer_tick", "BM_TimerTick", ("file_writes_per_tick", ""),
     ("<", 1), None),
    ("timer screen, full frame (phone 3x)", "bench_timer_screen_render", "BM_TimerScreenFullFrame",
     ("time", "ms"), ("<", 4), ("bench_timer_screen_render", "BM_PlainCairoTimerScreen", "plain Cairo + Pango")),
    ("timer screen, tick frame (phone 3x)", "bench_timer_screen_render", "BM_TimerScreenTickFrame",
     ("time", "ms"), ("<", 1),
     ("bench_timer_screen_render", "BM_PlainCairoTimerScreenTick", "plain Cairo + Pango, clipped")),
    # A refresh adds to the day totals it keeps: no full read to compare it with, so an absolute figure.
    ("statistics refresh, 100,000 sessions, day totals kept", "bench_statistics", "BM_RefreshStatisticsOf100k",
     ("time", "ms"), ("<", 50), None),
    ("  … with an unsaved insert", "bench_statistics", "BM_RefreshStatisticsOf100kWithAnUnsavedInsert",
     ("time", "ms"), ("<", 50), None),
    ("statistics, every day total read, 100,000 sessions", "bench_statistics", "BM_ReadAllDayTotalsOf100k",
     ("time", "ms"), None, ("bench_statistics", "BM_PlainSqliteDayTotalsOf100k", "plain SQLite: every day total read")),
    ("statistics after a session is stored, 1,000,000", "bench_statistics", "BM_RefreshAfterASessionIsStoredOf1M",
     ("time", "ms"), ("<", 20), None),
    ("statistics, first visit, 10,000 sessions", "bench_statistics", "BM_FirstVisitToStatistics/10000",
     ("time", "ms"), ("<", 100), None),
    ("  … 100,000 sessions", "bench_statistics", "BM_FirstVisitToStatistics/100000", ("time", "ms"), ("<", 100),
     None),
    ("  … 1,000,000 sessions", "bench_statistics", "BM_FirstVisitToStatistics/1000000", ("time", "ms"), ("<", 100),
     None),
    ("  … 1,000,000 sessions, the screen never seen before", "bench_statistics",
     "BM_FirstVisitToStatisticsNeverSeen/1000000", ("time", "ms"), None, None),
    ("all sessions as objects, 100,000", "bench_session_store", "BM_FetchAllOf100k", ("time", "ms"), None,
     ("bench_session_store", "BM_PlainSqliteFetchAllOf100k", "plain SQLite into structs")),
    ("event intake, 10 parameters", "bench_log_event", "BM_LogEventWithTenParameters", ("time", "us"),
     ("<", 10), None),
    ("raw events, 20,000 stored at 0 rows", "bench_measurement_store", "BM_EndToEnd/0", ("time", "ms"), None,
     ("bench_measurement_store", "BM_PlainSqlite/counted_trim/0", "plain SQLite: the statements only")),
    ("raw events, 20,000 stored at 100,000 rows", "bench_measurement_store", "BM_EndToEnd/100000",
     ("time", "ms"), None,
     ("bench_measurement_store", "BM_PlainSqlite/counted_trim/100000", "plain SQLite: the statements only")),
    ("  … CPU per event, all threads, at 0 rows", "bench_measurement_store", "BM_EndToEnd/0",
     ("cpu_us_per_event", "us"), None,
     ("bench_measurement_store", "BM_PlainSqlite/counted_trim/0", "plain SQLite: the statements only")),
    ("  … CPU per event, all threads, at 100,000 rows", "bench_measurement_store", "BM_EndToEnd/100000",
     ("cpu_us_per_event", "us"), None,
     ("bench_measurement_store", "BM_PlainSqlite/counted_trim/100000", "plain SQLite: the statements only")),
    ("message decode, one bundle", "bench_nano_messages", "LayerDecodeBundle", ("time", "us"), None,
     ("bench_nano_messages", "RawNanopbDecodeBundle", "raw nanopb")),
    ("message encode, one bundle", "bench_nano_messages", "LayerEncodeBundle", ("time", "us"), None,
     ("bench_nano_messages", "RawNanopbEncodeBundle", "raw nanopb")),
    ("start to first frame", "bench_shell_window", "BM_StartToFirstFrame", ("time", "ms"), ("<", 300), None),
    ("  … with 1,000,000 sessions", "bench_shell_window", "BM_StartToFirstFrameWithAMillionSessions",
     ("time", "ms"), None, ("bench_shell_window", "BM_StartToFirstFrame", "fresh start")),
    # The real program over large stores it synced itself. Each synced start comes in the same run as a
    # fresh data root's, whose mean is a counter of that run, and the ratio is each run's own.
    ("start to first frame, synced store of 1,000,000 sessions", "bench_large_store_window",
     "BM_StartToFirstFrameOnASyncedMillion", ("time", "ms"), None,
     ("bench_large_store_window", "BM_StartToFirstFrameOnASyncedMillion", "fresh data root, started in turn",
      "fresh_start_ms")),
    ("app left alone at 1,000,000 sessions, 5 minutes with 2 merges, % of a core", "bench_large_store_window",
     "BM_IdleAtAMillionSessionsFor5Minutes", ("cpu_percent_of_a_core", ""), ("<", 1), None),
] + [
    (f"statistics, first visit in the window, {count} sessions{how}", "bench_large_store_window",
     f"BM_FirstVisitToStatisticsInTheWindow/{count.replace(',', '')}/{kept}", ("time", "ms"), ("<", 100), None)
    for count in ("10,000", "100,000", "1,000,000")
    for kept, how in ((1, ", day totals kept"), (0, ", none kept"))
] + [
    ("statistics, first visit in the window during the first merge, 1,000,000", "bench_large_store_window",
     "BM_FirstVisitToStatisticsDuringTheFirstMerge", ("time", "ms"), ("<", 100), None),
    ("idle window, % of a core", "bench_shell_window", "BM_IdleWindowFor10Seconds",
     ("cpu_percent_of_a_core", ""), ("<", 1), None),
    # A running session and its baselines, the countdown windows, run side by side in the same minutes:
    # the baselines' figures are the same runs' "ticking_countdown_" (the countdown playing the app's
    # ticking loop through the same mixer at the app's device settings) and "countdown_" (silent)
    # counters, and the ratios are each minute's own.
    ("running session, ticking sound on, % of a core, app and children", "bench_shell_window",
     "BM_RunningSessionBesideCountdownFor60Seconds", ("cpu_percent_of_a_core", ""), None,
     ("bench_shell_window", "BM_RunningSessionBesideCountdownFor60Seconds",
      "countdown playing the same ticking loop, same mixer and device settings, in the same minutes",
      "ticking_countdown_cpu_percent_of_a_core")),
    ("  … beside the silent countdown", "bench_shell_window", "BM_RunningSessionBesideCountdownFor60Seconds",
     ("cpu_percent_of_a_core", ""), None,
     ("bench_shell_window", "BM_RunningSessionBesideCountdownFor60Seconds",
      "countdown redrawn once a second, silent, in the same minutes", "countdown_cpu_percent_of_a_core")),
    ("  … frames a minute", "bench_shell_window", "BM_RunningSessionBesideCountdownFor60Seconds",
     ("frames_a_minute", ""), None,
     ("bench_shell_window", "BM_RunningSessionBesideCountdownFor60Seconds", "countdown redrawn once a second",
      "countdown_frames_a_minute")),
    ("  … of which its child processes, % of a core", "bench_shell_window",
     "BM_RunningSessionBesideCountdownFor60Seconds", ("children_cpu_percent_of_a_core", ""), None, None),
    ("  … audio device's thread, wake-ups a second", "bench_shell_window",
     "BM_RunningSessionBesideCountdownFor60Seconds", ("audio_wakeups_per_second", ""), None,
     ("bench_shell_window", "BM_RunningSessionBesideCountdownFor60Seconds", "the ticking countdown's",
      "ticking_countdown_audio_wakeups_per_second")),
    ("  … audio device's thread, % of a core", "bench_shell_window",
     "BM_RunningSessionBesideCountdownFor60Seconds", ("audio_cpu_percent_of_a_core", ""), None,
     ("bench_shell_window", "BM_RunningSessionBesideCountdownFor60Seconds", "the ticking countdown's",
      "ticking_countdown_audio_cpu_percent_of_a_core")),
    ("running session, ticking off, % of a core, app and children", "bench_shell_window",
     "BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds", ("cpu_percent_of_a_core", ""), None,
     ("bench_shell_window", "BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds",
      "countdown redrawn once a second, silent, in the same minutes", "countdown_cpu_percent_of_a_core")),
    ("  … frames a minute", "bench_shell_window",
     "BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds", ("frames_a_minute", ""), None,
     ("bench_shell_window", "BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds",
      "countdown redrawn once a second", "countdown_frames_a_minute")),
    ("  … of which its child processes, % of a core", "bench_shell_window",
     "BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds", ("children_cpu_percent_of_a_core", ""), None, None),
    ("  … audio device's thread, wake-ups a second", "bench_shell_window",
     "BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds", ("audio_wakeups_per_second", ""), None,
     None),
    ("  … audio device's thread, % of a core", "bench_shell_window",
     "BM_RunningSessionWithTickingOffBesideCountdownFor60Seconds", ("audio_cpu_percent_of_a_core", ""), None,
     None),
    ("preferences, 1,000 writes + durable flush", "bench_user_defaults", "BM_WritesThenFlush/1000",
     ("time", "ms"), None,
     ("bench_user_defaults", "BM_PlainDurableWrite/1000", "plain map, serialised, written durably")),
    ("  … CPU", "bench_user_defaults", "BM_WritesThenFlush/1000", ("cpu", "ms"), None,
     ("bench_user_defaults", "BM_PlainDurableWrite/1000", "plain map, serialised, written durably")),
    ("song start to first sample", "bench_song_playback", "BM_SongStartToFirstSample", ("time", "ms"), None,
     ("bench_song_playback", "BM_GeneratedLoopStartToFirstSample", "generated loop")),
    ("alarm start while the ticking plays, play call to first sample", "bench_song_playback",
     "BM_AlarmStartWhileTickingToFirstSample", ("time", "ms"), ("<", 100), None),
    ("  … the slowest of its 20 starts", "bench_song_playback", "BM_AlarmStartWhileTickingToFirstSample",
     ("time", "ms", "max"), ("<", 100), None),
    # A song decodes in a process of its own as it plays; the generated loop, kept in memory after its
    # first pass, has none by the time it is measured. The wake-ups compare the app's own threads on both
    # sides; the song's decoding process has its own rows.
    ("CPU while a song ticks, app and decoding process, % of a core", "bench_song_playback",
     "BM_SongTicksFor5Seconds", ("cpu_percent_of_a_core", ""), None,
     ("bench_song_playback", "BM_GeneratedLoopTicksFor5Seconds",
      "generated loop: the app alone, no decoding process")),
    # The decoding process against the least a contained decoder does; against decoding in one process,
    # a figure: a process of its own wakes and hands its samples over at every step.
    ("  … of which the decoding process", "bench_song_playback", "BM_SongTicksFor5Seconds",
     ("decoder_cpu_percent_of_a_core", ""), None,
     ("bench_song_playback", "BM_SongDecodedInAPipedChildFor5Seconds",
      "the same decoder in a minimal child writing to a pipe", "cpu_percent_of_a_core")),
    ("  … the decoding process beside one process", "bench_song_playback", "BM_SongTicksFor5Seconds",
     ("decoder_cpu_percent_of_a_core", ""), None,
     ("bench_song_playback", "BM_SongDecodedInProcessFor5Seconds", "the same file decoded in one process",
      "cpu_percent_of_a_core")),
    ("  … wake-ups a second, the app's threads", "bench_song_playback", "BM_SongTicksFor5Seconds",
     ("app_wakeups_per_second", ""), None,
     ("bench_song_playback", "BM_GeneratedLoopTicksFor5Seconds", "generated loop: the app's threads")),
    ("  … wake-ups a second, the decoding process", "bench_song_playback", "BM_SongTicksFor5Seconds",
     ("decoder_wakeups_per_second", ""), None, None),
    ("audio device with nothing playing (it closes), % of a core", "bench_song_playback", "BM_SilentDeviceFor5Seconds",
     ("cpu_percent_of_a_core", ""), None, None),
    ("  … wake-ups a second, all threads", "bench_song_playback", "BM_SilentDeviceFor5Seconds",
     ("wakeups_per_second", ""), None, None),
]
# Figures measured side by side with their baseline: each run's own ratio, a counter of the figure's runs,
# stands for the ratio; its min and median, not the ratio of the two sides' separate mins and medians.
RUN_RATIOS = {"start to first frame, synced store of 1,000,000 sessions": "ratio_to_fresh",
              "running session, ticking sound on, % of a core, app and children": "cpu_ratio_to_ticking_countdown",
              "  … beside the silent countdown": "cpu_ratio_to_countdown",
              "running session, ticking off, % of a core, app and children": "cpu_ratio_to_countdown"}
# The ratios we aim for: our layer against its baseline.
RATIO_AIMS = {"message decode, one bundle": 1.5, "message encode, one bundle": 1.5,
              "raw events, 20,000 stored at 0 rows": 2, "raw events, 20,000 stored at 100,000 rows": 2,
              "running session, ticking sound on, % of a core, app and children": 1.5,
              "running session, ticking off, % of a core, app and children": 1.5, "  … with 1,000,000 sessions": 1.3,
              "all sessions as objects, 100,000": 1.3, "start to first frame, synced store of 1,000,000 sessions": 1.3, "  … of which the decoding process": 1.5}


START_NOTE = "run-start.json"


def machine_now():
    """The cores this process may run on and the load average now."""
    cores = sorted(os.sched_getaffinity(0))
    with open("/proc/loadavg") as loadavg:
        load = [float(figure) for figure in loadavg.read().split()[:3]]
    return {"cores": cores, "load": load}


def note_start(folder):
    """A new run: the last run's results go (a program that fails to write its own must not leave an
    older run's figures in its place), and the machine's load now is noted."""
    Path(folder).mkdir(parents=True, exist_ok=True)
    for old in Path(folder).glob("bench_*.json"):
        old.unlink()
    (Path(folder) / START_NOTE).write_text(json.dumps(machine_now()))


def loads_text(figures):
    return " ".join(f"{f:.2f}" for f in figures)


def machine_text(folder, contexts):
    """"2 cores (0-1); load average (1, 5, 15 min) 1.20 0.80 0.50 at the start, 2.10 1.00 0.60 at the end;
    at each program's start 0.90–2.40 (1 min)". Each program notes the load as it starts; without the
    run's own note, the first program's stands for the start."""
    now = machine_now()
    try:
        start = json.loads((Path(folder) / START_NOTE).read_text())["load"]
    except (OSError, ValueError, KeyError):
        start = None
    started = sorted((c.get("date", ""), name, c["load_avg"]) for name, c in contexts.items() if c.get("load_avg"))
    cores = now["cores"]
    spans = ",".join(str(c) for c in cores) if len(cores) < 3 or cores[-1] - cores[0] != len(cores) - 1 \
        else f"{cores[0]}-{cores[-1]}"
    if start:
        start_text = f"{loads_text(start)} at the start, "
    elif started:
        start_text = f"{loads_text(started[0][2])} at the start ({started[0][1]}'s), "
    else:
        start_text = "(start not noted: no program ran), "
    text = (f"{len(cores)} core{'' if len(cores) == 1 else 's'} ({spans}); load average (1, 5, 15 min) "
            f"{start_text}{loads_text(now['load'])} at the end")
    if started:
        minutes = [figures[0] for _, _, figures in started]
        text += f"; at each program's start {min(minutes):.2f}–{max(minutes):.2f} (1 min)"
    return text


def load(folder):
    """Each program's benchmarks, and what it noted of the machine as it started."""
    runs, contexts = {}, {}
    for path in sorted(Path(folder).glob("bench_*.json")):
        try:
            written = json.loads(path.read_text())
        except (OSError, ValueError) as error:
            print(f"bench table: {path.name} unreadable ({error})", file=sys.stderr)
            continue
        runs[path.stem] = written.get("benchmarks", [])
        contexts[path.stem] = written.get("context", {})
    return runs, contexts


def base_name(entry):
    """The benchmark's name without the run settings libbenchmark appends: repeats, iterations, real or
    manual time."""
    name = entry.get("run_name", entry.get("name", ""))
    return re.sub(r"(/(repeats|iterations|min_time):[\d.]+|/real_time|/manual_time)+$", "", name)


def find(runs, program, name, aggregate="median"):
    """The runs' aggregate ("median" or "min") when the benchmark was repeated, else its single run."""
    entries = [e for e in runs.get(program, []) if base_name(e) == name and not e.get("error_occurred")]
    for entry in entries:
        if entry.get("aggregate_name") == aggregate:
            return entry
    if aggregate != "median":
        return None
    singles = [e for e in entries if e.get("run_type", "iteration") == "iteration"]
    return singles[0] if len(singles) == 1 else None


def skip_reason(runs, program, name):
    """Why the benchmark was not measured, when any of its runs skipped (one run skipped leaves its
    figures short) or it did not run at all."""
    for entry in runs.get(program, []):
        if base_name(entry) == name and entry.get("error_occurred"):
            return "skipped: " + entry.get("error_message", "no reason given")
    if program not in runs:
        return f"not run: {program} wrote no results"
    if not any(base_name(entry) == name for entry in runs[program]):
        return f"not run: {program} has no {name}"
    return None


def value(entry, what):
    field, unit = what[:2]
    if entry is None:
        return None
    if field in ("time", "cpu"):
        seconds = entry["real_time" if field == "time" else "cpu_time"] * TO_SECONDS[entry.get("time_unit", "ns")]
        return seconds / TO_SECONDS[unit]
    return entry.get(field)


def number_text(number):
    return f"{number:,.0f}" if abs(number) >= 1000 else f"{number:.3g}"


def shown(number, unit):
    if number is None:
        return "not measured"
    return f"{number_text(number)} {unit}".strip()


def shown_pair(least, median, unit, skipped=None):
    """"min / median unit", or the median alone when there is no min (a run that was not repeated), or
    why it was skipped."""
    if skipped:
        return skipped
    if median is None:
        return "not measured"
    if least is None:
        return f"{shown(median, unit)} (once)"
    return f"{number_text(least)} / {shown(median, unit)}"


def measure(runs, program, name, what):
    """(min, median), or (None, the aggregate) when `what` names one; (None, None) when any run of the
    benchmark skipped."""
    if skip_reason(runs, program, name):
        return (None, None)
    if len(what) > 2:
        return (None, value(find(runs, program, name, what[2]), what))
    return (value(find(runs, program, name, "min"), what), value(find(runs, program, name), what))


NOT_MEASURED = "NOT MEASURED"


def judged(runs, figure, program, name, what, aim, baseline):
    """The row's cells: figure, measured, aim, baseline, ratio and verdict. A row whose figure, baseline or
    ratio is missing is not measured, which fails the run as a missed aim does."""
    least, measured = measure(runs, program, name, what)
    unit = what[1]
    aim_text, met, complete = "", None, measured is not None
    if aim:
        aim_text = f"{aim[0]} {shown(aim[1], unit)}"
        if measured is not None:
            met = measured < aim[1] if aim[0] == "<" else measured > aim[1]
    base_text, ratio_text = "", ""
    if baseline:
        base_what = (baseline[3], unit) if len(baseline) > 3 else what
        base_least, base = measure(runs, baseline[0], baseline[1], base_what)
        base_text = (f"{shown_pair(base_least, base, unit)} {baseline[2]}" if base is not None
                     else f"{baseline[2]}: {shown_pair(None, None, unit, skip_reason(runs, *baseline[:2]))}")
        ratio = None
        if figure in RUN_RATIOS:
            least_ratio, ratio = measure(runs, program, name, (RUN_RATIOS[figure], ""))
            if ratio is not None:
                ratio_text = f"{ratio:.2f}×"
                if least_ratio is not None:
                    ratio_text = f"{least_ratio:.2f}× / {ratio_text}"
        elif base and measured is not None:
            ratio = measured / base
            ratio_text = f"{ratio:.2f}×"
            if least is not None and base_least:
                ratio_text = f"{least / base_least:.2f}× / {ratio_text}"
        complete = complete and ratio is not None
        if figure in RATIO_AIMS:
            aim_text = f"≤ {RATIO_AIMS[figure]}× baseline"
            met = None if ratio is None else ratio <= RATIO_AIMS[figure]
    verdict = NOT_MEASURED if not complete else "" if met is None else ("meets aim" if met else "MISSES AIM")
    shown_measured = (f"{shown(measured, unit)} ({what[2]})" if len(what) > 2 and measured is not None
                      else shown_pair(least, measured, unit, skip_reason(runs, program, name)))
    return (figure, shown_measured, aim_text, base_text, ratio_text, verdict)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--start":
        return note_start(sys.argv[2])
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    runs, contexts = load(sys.argv[1])
    table = [("figure", "measured, min / median", "aim", "baseline, min / median", "÷ baseline, min / median", "")]
    table += [judged(runs, *row) for row in ROWS]
    widths = [max(len(row[i]) for row in table) for i in range(len(table[0]))]
    print()
    print(f"Measured on {machine_text(sys.argv[1], contexts)}.")
    for index, row in enumerate(table):
        print("  ".join(cell.ljust(width) for cell, width in zip(row, widths)).rstrip())
        if index == 0:
            print("  ".join("-" * width for width in widths))
    verdicts = [row[-1] for row in table[1:]]
    missed, unmeasured = verdicts.count("MISSES AIM"), verdicts.count(NOT_MEASURED)
    if missed or unmeasured:
        print(f"\nFAILED: {missed} of {len(verdicts)} rows miss their aim, {unmeasured} were not measured.")
        sys.exit(1)
    print(f"\nAll {len(verdicts)} rows measured; every aim met.")


if __name__ == "__main__":
    main()
