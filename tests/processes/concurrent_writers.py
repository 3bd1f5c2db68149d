#!/usr/bin/env python3
"""Several vorrun processes writing one database at once.

First, writers insert rows numbered by one sequence's NEXTVAL and commit each:
afterwards every number from 1 to the total is there exactly once, and no
writer saw an error. Then one process holds the write lock (an insert, its
transaction left open until the test releases it through a second database)
while others, with a short lock wait, try to write: each gets the server's
busy error, the holder's row is committed, and the file passes SQLite's
integrity check after both phases.

usage: concurrent_writers.py <vorrun> <work folder>
"""
import shutil
import sys

from vorrun_process import PATIENCE, Work, check, values_printed

WRITERS = 4
ROWS_PER_WRITER = 40
LOCK_WAIT_MS = '300'     # the waiters' lock wait; the holder holds until released

SETUP = '''
NUMBER c; VARCHAR2(200) msg;
CONNECT c AS "scott/tiger@shared";
EXECUTE (c, SQL "create table t (id number, who number)", msg);
EXECUTE (c, SQL "create sequence s", msg);
PRINT msg;
CONNECT c AS "scott/tiger@gate";
EXECUTE (c, SQL "create table gate (opened number)", msg);
PRINT msg;
'''

WRITER = '''
NUMBER c; VARCHAR2(200) msg; NUMBER i = 0; NUMBER who = {who};
CONNECT c AS "scott/tiger@shared";
DOWHILE i < {rows}
  EXECUTE (c, SQL "insert into t values (s.nextval, :who)", msg);
  PRINT msg;
  EXECUTE (c, SQL "COMMIT", msg);
  PRINT msg;
  i = i + 1;
EW;
'''

COUNT = '''
NUMBER c; VARCHAR2(200) msg; NUMBER rows; NUMBER distinct; NUMBER low; NUMBER high; NUMBER held;
CONNECT c AS "scott/tiger@shared";
EXECUTE (c, SQL [rows, distinct, low, high, held], "select count(*), count(distinct id), min(id), max(id), count(case when who = -1 then 1 end) from t", msg);
PRINT rows, distinct, low, high, held;
PRINT msg;
'''

HOLDER = '''
NUMBER c; NUMBER g; VARCHAR2(200) msg; NUMBER released = 0;
CONNECT c AS "scott/tiger@shared";
CONNECT g AS "scott/tiger@gate";
EXECUTE (c, SQL "insert into t values (s.nextval, -1)", msg);
PRINT "holding", msg;
DOWHILE released == 0
  EXECUTE (g, SQL "begin dbms_session.sleep(0.05); end;", msg);
  EXECUTE (g, SQL [released], "select count(*) from gate", msg);
EW;
EXECUTE (c, SQL "COMMIT", msg);
PRINT "committed", msg;
'''

RELEASE = '''
NUMBER g; VARCHAR2(200) msg;
CONNECT g AS "scott/tiger@gate";
EXECUTE (g, SQL "insert into gate values (1)", msg);
EXECUTE (g, SQL "COMMIT", msg);
PRINT msg;
'''

WAITER = '''
NUMBER c; VARCHAR2(200) msg; NUMBER n;
CONNECT c AS "scott/tiger@shared";
EXECUTE (c, SQL "insert into t values (s.nextval, -2)", msg);
PRINT msg;
'''

BUSY = 'ORA-00054: resource busy and acquire with NOWAIT specified'


def counted(work):
    return values_printed(work.run('count', COUNT))


def writers_lose_and_duplicate_nothing(work):
    processes = [work.start(f'writer{w}', WRITER.format(who=w, rows=ROWS_PER_WRITER)) for w in range(WRITERS)]
    for w, process in enumerate(processes):
        _, stderr = process.communicate(timeout=PATIENCE)
        check(process.returncode == 0, f'writer {w} ended with {process.returncode}: {stderr!r}')
        check('ORA-' not in work.text(f'writer{w}', 'out'), f'writer {w} saw: {work.text(f"writer{w}", "out")}')
    total = WRITERS * ROWS_PER_WRITER
    check(counted(work) == [[total, total, 1, total, 0]], f'after {total} inserts: {counted(work)}')
    check(work.integrity('shared') == ['ok'], f'integrity check: {work.integrity("shared")}')


def lock_held_past_the_wait_is_busy(work):
    holder = work.start('holder', HOLDER)
    work.wait_for_output('holder', 'holding', holder)
    waiters = [work.start(f'waiter{w}', WAITER, VOR_LOCK_WAIT_MS=LOCK_WAIT_MS) for w in range(WRITERS)]
    for w, waiter in enumerate(waiters):
        waiter.communicate(timeout=PATIENCE)
        said = work.text(f'waiter{w}', 'out').strip()
        check(waiter.returncode == 0 and said == BUSY, f'waiter {w} ended with {waiter.returncode}, said {said!r}')
    check(holder.poll() is None, f'the holder ended before its release: {work.text("holder", "err")}')
    work.run('release', RELEASE)
    holder.communicate(timeout=PATIENCE)
    check('ORA-' not in work.text('holder', 'out'), f'the holder saw: {work.text("holder", "out")}')
    total = WRITERS * ROWS_PER_WRITER
    seen = counted(work)
    check(len(seen) == 1 and seen[0][0] == total + 1 and seen[0][1] == total + 1 and seen[0][4] == 1,
          f'after the busy phase: {seen}')
    check(work.integrity('shared') == ['ok'], f'integrity check: {work.integrity("shared")}')


def main():
    vorrun, folder = sys.argv[1], sys.argv[2]
    shutil.rmtree(folder, ignore_errors=True)
    work = Work(vorrun, folder)
    work.run('setup', SETUP)
    writers_lose_and_duplicate_nothing(work)
    print(f'{WRITERS} writers, {WRITERS * ROWS_PER_WRITER} sequence numbers: none lost, none twice')
    lock_held_past_the_wait_is_busy(work)
    print(f'{WRITERS} waiters behind a held lock: each got the busy error, the file is sound')
    shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
