"""The loop both fuzz drivers share: seed, regression cases, timed exploration.

A campaign first runs every kept regression case, then mutates its corpus until
its time is up. The seed is printed first; it comes from --seed, else from
VOR_FUZZ_SEED, else from today's date, so each day explores new inputs and any
failure replays with the seed and case number the report names. Every failing
input is written to the regression folder, to be committed with the fix.
"""
import argparse
import concurrent.futures
import datetime
import hashlib
import os
import pathlib
import random
import re
import signal
import subprocess
import sys
import time

from mutator import Mutator

# Sanitizers exit with a status of their own, so no report passes for an
# ordinary failure; their reports are also recognised in standard error.
SANITIZER_EXIT = 99
SANITIZER_REPORT = re.compile(rb'Sanitizer|runtime error:')


def parse_arguments(description, extra=None):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument('--seed', type=int, help='seed of the mutations (default: VOR_FUZZ_SEED, else the date)')
    parser.add_argument('--seconds', type=float, default=60, help='time for new inputs after the regressions')
    parser.add_argument('--jobs', type=int, default=os.cpu_count() or 1, help='runs at the same time')
    parser.add_argument('--case', type=int, help='run only the case of this number (a replay)')
    parser.add_argument('--regressions', type=pathlib.Path, required=True,
                        help='folder of kept failing inputs, run first, new failures added')
    if extra:
        extra(parser)
    return parser.parse_args()


def campaign_seed(arguments):
    if arguments.seed is not None:
        return arguments.seed
    if os.environ.get('VOR_FUZZ_SEED'):
        return int(os.environ['VOR_FUZZ_SEED'])
    return int(datetime.date.today().strftime('%Y%m%d'))


def sanitizer_environment(**settings):
    env = dict(os.environ, **settings)
    env['ASAN_OPTIONS'] = f'detect_leaks=1:exitcode={SANITIZER_EXIT}:' + env.get('ASAN_OPTIONS', '')
    env['LSAN_OPTIONS'] = f'exitcode={SANITIZER_EXIT}:' + env.get('LSAN_OPTIONS', '')
    env['UBSAN_OPTIONS'] = f'halt_on_error=1:print_stacktrace=1:exitcode={SANITIZER_EXIT}:' + \
        env.get('UBSAN_OPTIONS', '')
    return env


def run_program(command, work, env, limit):
    """(exit status, standard error) of `command` run in `work`, or None when
    it outlasts `limit` seconds (its process group is then killed)."""
    with subprocess.Popen(command, cwd=work, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, start_new_session=True) as process:
        try:
            _, stderr = process.communicate(timeout=limit)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.communicate()
            return None
    return process.returncode, stderr


def judged(status, stderr, sound_statuses):
    """None for a sound end, else what went wrong."""
    tail = stderr[-6000:].decode(errors='replace')
    if SANITIZER_REPORT.search(stderr) or status == SANITIZER_EXIT:
        return 'sanitizer report:\n' + tail
    if status < 0:
        return f'killed by signal {-status}:\n' + tail
    if status not in sound_statuses:
        return f'exit status {status}:\n' + tail
    return None


class Campaign:
    """`check(text)` runs one input and returns None, or what went wrong;
    `compose(rng, mutate)` makes one input (default: one mutated corpus text)."""

    def __init__(self, name, arguments, corpus, check, suffix, compose=None):
        self.name = name
        self.arguments = arguments
        self.corpus = corpus
        self.check = check
        self.suffix = suffix
        self.compose = compose or (lambda rng, mutate: mutate(rng.choice(corpus)))
        self.seed = campaign_seed(arguments)
        self.failures = 0

    def run(self):
        print(f'{self.name}: seed {self.seed} (replay with --seed {self.seed} or VOR_FUZZ_SEED={self.seed})',
              flush=True)
        if self.arguments.case is None:
            self._run_regressions()
        started = time.monotonic()
        cases = self._explore(started + self.arguments.seconds)
        print(f'{self.name}: {cases} new inputs in {time.monotonic() - started:.0f} s, '
              f'{self.failures} failure(s)', flush=True)
        return 1 if self.failures else 0

    def _run_regressions(self):
        folder = self.arguments.regressions
        kept = sorted(folder.glob('*' + self.suffix)) if folder.is_dir() else []
        for path in kept:
            problem = self.check(path.read_bytes())
            if problem:
                self._report(f'regression case {path}', problem)
        print(f'{self.name}: {len(kept)} regression case(s) run', flush=True)

    def _inputs(self):
        """(case number, text) for every new input, in the seed's order."""
        rng = random.Random(self.seed)
        mutator = Mutator(rng, self.corpus)
        number = 0
        while True:
            number += 1
            text = self.compose(rng, mutator.mutate)
            if self.arguments.case is None or self.arguments.case == number:
                yield number, text
            if self.arguments.case == number:
                return

    def _explore(self, deadline):
        jobs = max(1, self.arguments.jobs)
        count = 0
        with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
            running = {}
            inputs = self._inputs()
            while True:
                while len(running) < jobs and (time.monotonic() < deadline or self.arguments.case):
                    case = next(inputs, None)
                    if case is None:
                        break
                    running[pool.submit(self.check, case[1])] = case
                if not running:
                    return count
                done, _ = concurrent.futures.wait(running, return_when=concurrent.futures.FIRST_COMPLETED)
                for future in done:
                    number, text = running.pop(future)
                    count += 1
                    problem = future.result()
                    if problem:
                        self._keep(number, text, problem)

    def _keep(self, number, text, problem):
        folder = self.arguments.regressions
        folder.mkdir(parents=True, exist_ok=True)
        path = folder / (hashlib.sha1(text).hexdigest()[:16] + self.suffix)
        path.write_bytes(text)
        self._report(f'case {number} (replay with --seed {self.seed} --case {number}), kept as {path}', problem)

    def _report(self, where, problem):
        self.failures += 1
        print(f'{self.name}: FAILED {where}:\n{problem}', file=sys.stderr, flush=True)
