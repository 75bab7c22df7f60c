"""The benchmark runner's table: rows from BENCH lines and Google Benchmark JSON, and a row
that says so for every benchmark that is absent, did not build, fails or hangs."""

import importlib.machinery
import importlib.util
import json
import stat
import sys
import tempfile
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "scripts" / "bench"
loader = importlib.machinery.SourceFileLoader("bench_script", str(SCRIPT))
module_spec = importlib.util.spec_from_loader("bench_script", loader)
bench = importlib.util.module_from_spec(module_spec)
loader.exec_module(bench)


class BenchLines(unittest.TestCase):
    def test_rows_come_from_well_formed_bench_lines_only(self):
        output = "\n".join([
            "human-readable text",
            "BENCH\tJACK latency p99\t2666.6666\t0\tus\t<= 1 period",
            "BENCH\tno anchor\t12\t-\tmsg/s\t-",
            "BENCH\ttoo few fields\t1\t2",
            "BENCH\tnot a number\tfast\t-\tus\t-",
            "BENCH\tCRLF line\t1\t-\tus\t\r",
        ])
        rows = bench.bench_rows(output)
        self.assertEqual([r.figure for r in rows], ["JACK latency p99", "no anchor", "CRLF line"])
        self.assertEqual(rows[0].corvex, "2666.667")
        self.assertEqual(rows[0].anchor, "0")
        self.assertEqual(rows[1].anchor, "-")
        self.assertEqual(rows[2].target, "-")

    def test_ratio_needs_two_numbers_and_a_non_zero_anchor(self):
        self.assertEqual(bench.ratio_text(bench.Row("f", "3", "2")), "1.5")
        self.assertEqual(bench.ratio_text(bench.Row("f", "3", "0")), "-")
        self.assertEqual(bench.ratio_text(bench.Row("f", "3", "-")), "-")


class GoogleBenchmark(unittest.TestCase):
    def test_items_per_second_or_time_per_iteration_and_no_aggregates(self):
        output = json.dumps({"context": {"host_name": "never shown"}, "benchmarks": [
            {"name": "InputToTwoOutputs/real_time", "run_type": "iteration", "real_time": 812.5,
             "time_unit": "us", "items_per_second": 1234567.891},
            {"name": "postAndTake", "run_type": "iteration", "real_time": 41.25,
             "time_unit": "ns"},
            {"name": "postAndTake_mean", "run_type": "aggregate", "real_time": 41,
             "time_unit": "ns"},
        ]})
        rows = bench.gbench_rows(output)
        self.assertEqual([(r.figure, r.corvex, r.unit) for r in rows], [
            ("InputToTwoOutputs/real_time", "1234567.891", "items/s"),
            ("postAndTake", "41.25", "ns"),
        ])


class Table(unittest.TestCase):
    def test_one_line_per_figure_and_one_per_benchmark_without_figures(self):
        table = bench.render_table([
            ("jack_latency", [bench.Row("JACK latency p99", "1333.333", "0", "us", "<= 1 | 2")]),
            ("loopback_latency", "absent in this tree"),
        ])
        lines = table.splitlines()
        self.assertEqual(len(lines), 4)
        self.assertEqual(lines[2], "| jack_latency | JACK latency p99 | 1333.333 us | 0 us | - | "
                                   "<= 1 \\| 2 |")
        self.assertEqual(lines[3], "| loopback_latency | absent in this tree | - | - | - | - |")


class Running(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.build = Path(self.folder.name)

    def tearDown(self):
        self.folder.cleanup()

    def program(self, name, body):
        path = self.build / name
        path.write_text("#!/bin/sh\n" + body + "\n")
        path.chmod(path.stat().st_mode | stat.S_IXUSR)
        return bench.Benchmark(name, name, name, "", "scripts/bench")

    def run_one(self, benchmark):
        return bench.run_one(benchmark, self.build, quick=False, verbose=False)

    def test_figures_of_a_program_that_ran(self):
        b = self.program("good", "printf 'BENCH\\tx\\t1\\t2\\tus\\t-\\n'")
        self.assertEqual([r.figure for r in self.run_one(b)], ["x"])
        self.assertTrue((self.build / "bench-logs" / "good.txt").exists())

    def test_a_failure_names_its_exit_status_and_last_message(self):
        b = self.program("bad", "echo 'jack_latency: jackd is not installed' >&2; exit 3")
        self.assertEqual(self.run_one(b),
                         "failed (exit 3): jack_latency: jackd is not installed")

    def test_silence_missing_programs_and_hangs_are_rows_not_crashes(self):
        self.assertEqual(self.run_one(self.program("quiet", "echo hello")),
                         "ran, but reported no figures")
        missing = bench.Benchmark("gone", "gone", "gone", "", "scripts/bench")
        self.assertIn("did not build", self.run_one(missing))
        absent = bench.Benchmark("nowhere", "nowhere", "nowhere", "", "bench/no_such_folder")
        self.assertEqual(self.run_one(absent), "absent in this tree")
        hang = self.program("hang", "sleep 60")
        hang.timeout = 1
        self.assertEqual(self.run_one(hang), "failed: no result within 1 s")

    def test_broken_json_is_reported(self):
        b = self.program("json", "echo '{not json'")
        b.gbench = True
        self.assertTrue(self.run_one(b).startswith("failed: unreadable output"))


if __name__ == "__main__":
    unittest.main()
