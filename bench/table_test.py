#!/usr/bin/env python3
"""The table that ends `make bench`, read from result files shaped as libbenchmark 1.7 writes them: a row
that was not measured fails the run as a missed aim does, and the load at the start is always noted."""
import contextlib
import importlib.util
import io
import json
import sys
import tempfile
import unittest
from pathlib import Path

SPEC = importlib.util.spec_from_file_location("bench_table", Path(__file__).parent.parent / "tools" / "bench_table.py")
table = importlib.util.module_from_spec(SPEC)
SPEC.loader.exec_module(table)

# A small table: an absolute aim, and a figure measured side by side with its baseline in the same runs.
ROWS = [
    ("tick, CPU", "bench_a", "BM_Tick", ("cpu", "us"), ("<", 20), None),
    ("session, % of a core", "bench_b", "BM_Session", ("cpu_percent_of_a_core", ""), None,
     ("bench_b", "BM_Session", "countdown", "countdown_cpu_percent_of_a_core")),
]
RUN_RATIOS = {"session, % of a core": "cpu_ratio_to_countdown"}
RATIO_AIMS = {"session, % of a core": 1.5}


def aggregate(name, kind, **figures):
    return {"name": f"{name}/repeats:3_{kind}", "run_name": f"{name}/repeats:3", "run_type": "aggregate",
            "aggregate_name": kind, "time_unit": "us", "real_time": 1.0, "cpu_time": 1.0, **figures}


def skipped(name, message):
    return {"name": f"{name}/repeats:3", "run_name": f"{name}/repeats:3", "run_type": "iteration",
            "error_occurred": True, "error_message": message}


def results(name, **figures):
    return [aggregate(name, "min", **figures), aggregate(name, "median", **figures)]


class BenchTable(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp(prefix="bench-table-"))
        self.saved = (table.ROWS, table.RUN_RATIOS, table.RATIO_AIMS)
        table.ROWS, table.RUN_RATIOS, table.RATIO_AIMS = ROWS, RUN_RATIOS, RATIO_AIMS

    def tearDown(self):
        table.ROWS, table.RUN_RATIOS, table.RATIO_AIMS = self.saved
        for path in self.folder.iterdir():
            path.unlink()
        self.folder.rmdir()

    def write(self, program, benchmarks, load=(0.5, 0.25, 0.125), date="2026-12-01T10:00:00+00:00"):
        context = {"date": date, "load_avg": list(load)}
        (self.folder / f"{program}.json").write_text(json.dumps({"context": context, "benchmarks": benchmarks}))

    def run_table(self, *arguments):
        """The table's output and its exit status."""
        out = io.StringIO()
        saved, sys.argv = sys.argv, ["bench_table.py", *arguments, str(self.folder)]
        status = 0
        try:
            with contextlib.redirect_stdout(out):
                table.main()
        except SystemExit as end:
            status = end.code or 0
        finally:
            sys.argv = saved
        return out.getvalue(), status

    def write_both(self, tick_cpu=5.0, ratio=1.2):
        self.write("bench_a", [{**entry, "cpu_time": tick_cpu} for entry in results("BM_Tick")])
        self.write("bench_b", results("BM_Session", cpu_percent_of_a_core=3.0, countdown_cpu_percent_of_a_core=2.5,
                                      cpu_ratio_to_countdown=ratio))

    def row(self, output, figure):
        return next(line for line in output.splitlines() if line.startswith(figure))


class Verdicts(BenchTable):
    def test_every_row_measured_and_met_passes(self):
        self.write_both()
        output, status = self.run_table()
        self.assertEqual(status, 0)
        self.assertIn("meets aim", self.row(output, "tick, CPU"))
        self.assertIn("1.20×", self.row(output, "session"))
        self.assertIn("All 2 rows measured; every aim met.", output)

    def test_a_missed_aim_fails_the_run(self):
        self.write_both(tick_cpu=25.0)
        output, status = self.run_table()
        self.assertEqual(status, 1)
        self.assertIn("MISSES AIM", self.row(output, "tick, CPU"))
        self.assertIn("FAILED: 1 of 2 rows miss their aim, 0 were not measured.", output)

    def test_a_skipped_row_fails_the_run_with_its_reason(self):
        self.write_both()
        self.write("bench_b", [skipped("BM_Session", "the session did not run the whole minute: 0 frames")])
        output, status = self.run_table()
        self.assertEqual(status, 1)
        row = self.row(output, "session")
        self.assertIn("skipped: the session did not run the whole minute: 0 frames", row)
        self.assertIn("NOT MEASURED", row)
        self.assertIn("FAILED: 0 of 2 rows miss their aim, 1 were not measured.", output)

    def test_one_skipped_repetition_beside_aggregates_is_not_a_measurement(self):
        self.write_both()
        self.write("bench_a", results("BM_Tick") + [skipped("BM_Tick", "no first frame")])
        output, status = self.run_table()
        self.assertEqual(status, 1)
        self.assertIn("NOT MEASURED", self.row(output, "tick, CPU"))

    def test_a_program_without_results_leaves_its_rows_unmeasured(self):
        self.write("bench_a", results("BM_Tick"))
        output, status = self.run_table()
        self.assertEqual(status, 1)
        self.assertIn("not run: bench_b wrote no results", self.row(output, "session"))

    def test_a_side_by_side_row_without_its_ratio_is_not_measured(self):
        self.write_both()
        self.write("bench_b", results("BM_Session", cpu_percent_of_a_core=3.0, countdown_cpu_percent_of_a_core=2.5))
        output, status = self.run_table()
        self.assertEqual(status, 1)
        self.assertIn("NOT MEASURED", self.row(output, "session"))


class StartOfTheRun(BenchTable):
    def test_a_new_run_removes_the_last_runs_results_and_notes_the_load(self):
        self.write_both()
        self.run_table("--start")
        self.assertEqual([path.name for path in self.folder.iterdir()], [table.START_NOTE])
        noted = json.loads((self.folder / table.START_NOTE).read_text())
        self.assertEqual(len(noted["load"]), 3)
        output, status = self.run_table()
        self.assertEqual(status, 1)
        self.assertIn(f"{table.loads_text(noted['load'])} at the start", output)

    def test_without_the_runs_note_the_first_programs_start_stands_for_it(self):
        self.write("bench_b", results("BM_Session"), load=(2.0, 1.0, 0.5), date="2026-12-01T10:05:00+00:00")
        self.write("bench_a", results("BM_Tick"), load=(0.75, 0.5, 0.25), date="2026-12-01T10:00:00+00:00")
        output, _ = self.run_table()
        self.assertIn("0.75 0.50 0.25 at the start (bench_a's)", output)
        self.assertIn("at each program's start 0.75–2.00 (1 min)", output)
        self.assertNotIn("start not noted", output)


class TheRealTable(unittest.TestCase):
    def test_every_ratio_aim_and_run_ratio_names_a_row_with_a_baseline(self):
        # A key that names no row, or a row without a baseline, would drop its aim without a word.
        with_baseline = {row[0] for row in table.ROWS if row[5]}
        self.assertEqual(set(table.RATIO_AIMS) - with_baseline, set())
        self.assertEqual(set(table.RUN_RATIOS) - with_baseline, set())

    def test_ratio_aims_name_one_row_each(self):
        figures = [row[0] for row in table.ROWS]
        self.assertEqual([f for f in table.RATIO_AIMS if figures.count(f) != 1], [])


if __name__ == "__main__":
    unittest.main()
