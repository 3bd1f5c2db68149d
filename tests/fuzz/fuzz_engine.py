#!/usr/bin/env python3
"""Fuzzes the engine's parsers (the SQL rewriter, the block language, the
statement classifier) with mutated statement texts run through the call
interface by engine_fuzz_target.

The corpus is every SQL and block text quoted in the engine and library tests
and in the script tests, plus the seeds in engine_seeds.sql (block texts and
stored-procedure DDL, so whatever the engine compiles gets exercised). One
input is a case of several statements run in order in a fresh database. A
case fails the campaign on a crash, a sanitizer report, or a statement that
a break does not end (the target reports it); a statement that a break ends
may run forever by its own rules (a loop, a sleep).
"""
import pathlib
import re
import sys
import tempfile

from campaign import Campaign, judged, parse_arguments, run_program, sanitizer_environment

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
SEPARATOR = b'\n--8<-- next statement --8<--\n'  # as in engine_fuzz_target.cpp
HANG_STATUS = 3
MAX_STATEMENTS = 12
# Seconds for a whole case: far above what its statements may take, each
# being broken off by the target after a few seconds.
CASE_LIMIT = 300
STATEMENT_START = re.compile(
    rb'(?is)\s*(select|insert|update|delete|create|drop|begin|declare|commit|rollback|alter|with|lock|savepoint)\b')
CPP_STRING = re.compile(rb'"((?:[^"\\\n]|\\.)*)"')
SCRIPT_STRING = re.compile(rb'"((?:[^"\n]|"")*)"')
CPP_ESCAPES = {b'n': b'\n', b't': b'\t', b'"': b'"', b'\\': b'\\', b"'": b"'", b'0': b'\0'}


def cpp_unescaped(literal):
    return re.sub(rb'\\(.)', lambda m: CPP_ESCAPES.get(m.group(1), m.group(1)), literal)


def corpus():
    texts = []
    for path in sorted((ROOT / 'tests').glob('**/*.cpp')):
        texts += [cpp_unescaped(m) for m in CPP_STRING.findall(path.read_bytes())]
    for path in sorted((ROOT / 'tests' / 'scripts').glob('**/*.vrb')):
        texts += [m.replace(b'""', b'"') for m in SCRIPT_STRING.findall(path.read_bytes())]
    texts += (HERE / 'engine_seeds.sql').read_bytes().split(SEPARATOR)
    return sorted({text for text in texts if STATEMENT_START.match(text)})


def composed_case(rng, mutate, seeds):
    """Several statements, most of them mutated, some kept as they are so a
    case reaches states that only sound statements build."""
    statements = [rng.choice(seeds) if rng.random() < 0.3 else mutate(rng.choice(seeds))
                  for _ in range(rng.randint(1, MAX_STATEMENTS))]
    return SEPARATOR.join(statements)


class EngineCheck:
    def __init__(self, target):
        self.target = str(pathlib.Path(target).resolve())

    def __call__(self, text):
        with tempfile.TemporaryDirectory(prefix='vorfuzz') as work:
            case = pathlib.Path(work, 'case.sql')
            case.write_bytes(text)
            result = run_program([self.target, str(case)], work, sanitizer_environment(VOR_DATA_DIR=work),
                                 CASE_LIMIT)
        if result is None:
            return f'the case outlasted {CASE_LIMIT} s'
        if result[0] == HANG_STATUS:
            return result[1][-3000:].decode(errors='replace')
        return judged(*result, sound_statuses=(0,))


def main():
    arguments = parse_arguments(
        __doc__, lambda parser: parser.add_argument('target', help='the engine_fuzz_target program'))
    seeds = corpus()
    return Campaign('engine fuzz', arguments, seeds, EngineCheck(arguments.target), '.sql',
                    compose=lambda rng, mutate: composed_case(rng, mutate, seeds)).run()


if __name__ == '__main__':
    sys.exit(main())
