#!/usr/bin/env python3
"""Fuzzes vorrun with mutated scripts.

The corpus is every script test, the examples and scripts generated here that
connect, create tables, bind arrays, repeat statements and call functions. A
run fails the campaign when vorrun dies of a signal, a sanitizer reports, the
exit status is neither 0 nor 1 (a complete run or a script error), or the run
outlasts its limit although the script has no loop of its own (DOWHILE) and no
database sleep: only those may run forever by the language's rules.
"""
import os
import pathlib
import random
import re
import sys
import tempfile

from campaign import Campaign, campaign_seed, judged, parse_arguments, run_program, sanitizer_environment

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent

# Seconds a run may take; the limit of a run without a loop of its own is
# tried once more with the longer one before it counts as a hang, so that a
# loaded machine does not fail the campaign.
RUN_LIMIT = 5
HANG_LIMIT = 30
GENERATED_SCRIPTS = 40
MAY_RUN_FOREVER = re.compile(rb'(?i)DOWHILE|sleep')


def generated_script(rng):
    """A script that connects, binds arrays, repeats statements and calls functions."""
    size = rng.randint(1, 6)
    values = ', '.join(str(rng.randint(-5, 1000)) for _ in range(size))
    words = ', '.join(f'"w{rng.randint(0, 99)}"' for _ in range(size))
    column_type = rng.choice(['number', 'varchar2(20)', 'number(5,2)', 'date', 'raw(8)'])
    lines = [
        'NUMBER c; NUMBER d; VARCHAR2(200) msg; NUMBER n = 2;',
        f'NUMBERARR[1,{size}] ids; VARCHAR2ARR(20)[1,{size}] names; NUMBERARR[1,{size}] back;',
        f'ids = [{values}];', f'names = [{words}];',
        'CONNECT c AS "scott/tiger@fuzz", msg;', 'CONNECT d AS "scott/tiger@fuzz", msg;',
        f'EXECUTE (c, SQL "create table t (id number, name varchar2(20), x {column_type})", msg);',
        'EXECUTE (c, SQL "create sequence s", msg);',
        f'EXECUTE (c, SQL "insert into t (id, name) values (:ids, :names)", msg) * {rng.randint(0, size)};',
        'EXECUTE (c, SQL "insert into t (id, name) values (s.nextval, \'seq\')", msg) * 3;',
        'FUN NUMBERARR scaled(NUMBERARR[1,2] v, NUMBER k)\n  RESULT = v * k;\nEFUN;',
        f'back = scaled(ids, {rng.choice(["n", "0.5", "-1", "1e10"])});',
        'EXECUTE (c, SQL [back, names], "select id, name from t order by id", msg),\n'
        '        (d, SQL [n], "select count(*) from t where id > :n", msg);',
        'EXECUTE (c, SQL "begin :n := :n * 2; update t set id = id + :n; end;", msg);',
        f'EXECUTE (c, SQL "{rng.choice(["COMMIT", "ROLLBACK"])}", msg);',
        f'TIMEOUT {rng.randint(0, 3)};',
        'EXECUTE (d, SP "pkg.proc(:n, :msg)", msg);',
        'n = ARRAYSIZE(back); ARRAYRESIZE(back, n + 2);',
        'DPRINT back, names; PRINT n, msg;',
        'DISCONNECT d;',
    ]
    middle = lines[10:18]
    rng.shuffle(middle)
    lines[10:18] = middle
    return '\n'.join(lines).encode() + b'\n'


def corpus(seed):
    texts = [path.read_bytes() for pattern in ('tests/scripts/**/*.vrb', 'examples/*.vrb')
             for path in sorted(ROOT.glob(pattern))]
    rng = random.Random(seed)
    texts += [generated_script(rng) for _ in range(GENERATED_SCRIPTS)]
    return texts


class ScriptCheck:
    def __init__(self, vorrun):
        self.vorrun = str(pathlib.Path(vorrun).resolve())
        self.env = sanitizer_environment()

    def __call__(self, text):
        outcome = self._run(text, RUN_LIMIT)
        if outcome == 'timed out' and not MAY_RUN_FOREVER.search(text):
            outcome = self._run(text, HANG_LIMIT)
            if outcome == 'timed out':
                return f'ran past {HANG_LIMIT} s without a loop of its own'
        return None if outcome == 'timed out' else outcome

    def _run(self, text, limit):
        """None for a sound run, 'timed out', or what went wrong."""
        with tempfile.TemporaryDirectory(prefix='vorfuzz') as work:
            script = pathlib.Path(work, 'fuzz.vrb')
            script.write_bytes(text)
            command = [self.vorrun, '-source', str(script), '-out', os.devnull, '-err', str(script) + '.err']
            result = run_program(command, work, dict(self.env, VOR_DATA_DIR=work), limit)
        return 'timed out' if result is None else judged(*result, sound_statuses=(0, 1))


def main():
    arguments = parse_arguments(__doc__, lambda parser: parser.add_argument('vorrun', help='the vorrun program'))
    check = ScriptCheck(arguments.vorrun)
    return Campaign('script fuzz', arguments, corpus(campaign_seed(arguments)), check, '.vrb').run()


if __name__ == '__main__':
    sys.exit(main())
