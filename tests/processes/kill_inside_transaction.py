#!/usr/bin/env python3
"""kill -9 of vorrun inside an open transaction, after a commit of some rows.

Each round kills the writer at another point of its uncommitted work: right
after the commit, after a few doublings of the table (uncommitted pages
spilled into the write-ahead log), and after many. Afterwards the file must
pass SQLite's integrity check, the next logon must see exactly the committed
rows, and that session must be able to write and commit.

usage: kill_inside_transaction.py <vorrun> <work folder>
"""
import os
import shutil
import signal
import sys

from vorrun_process import PATIENCE, Work, check, values_printed

COMMITTED_ROWS = 200
# Table doublings the writer has done, uncommitted, when it is killed; after
# nine the open transaction holds more than 100,000 rows.
KILL_AFTER_DOUBLINGS = [0, 3, 9]

WRITER = f'''
NUMBER c; VARCHAR2(200) msg; NUMBER i = 1; NUMBER k = 0;
CONNECT c AS "scott/tiger@crash";
EXECUTE (c, SQL "create table t (id number, payload varchar2(100))", msg);
DOWHILE i <= {COMMITTED_ROWS}
  EXECUTE (c, SQL "insert into t values (:i, rpad('committed', 100, 'x'))", msg);
  i = i + 1;
EW;
EXECUTE (c, SQL "COMMIT", msg);
PRINT "committed", msg;
DOWHILE 1
  k = k + 1;
  EXECUTE (c, SQL "insert into t select id + 1000000 * :k, rpad('open', 100, 'y') from t", msg);
  PRINT "doubled", k, msg;
EW;
'''

NEXT_LOGON = '''
NUMBER c; VARCHAR2(200) msg; NUMBER rows; NUMBER distinct; NUMBER top; NUMBER open;
CONNECT c AS "scott/tiger@crash";
EXECUTE (c, SQL [rows, distinct, top, open], "select count(*), count(distinct id), max(id), count(case when payload like 'open%' then 1 end) from t", msg);
PRINT rows, distinct, top, open;
EXECUTE (c, SQL "insert into t values (0, 'after')", msg);
EXECUTE (c, SQL "COMMIT", msg);
EXECUTE (c, SQL [rows], "select count(*) from t", msg);
PRINT rows;
PRINT msg;
'''


def kill_round(work, doublings):
    writer = work.start('writer', WRITER)
    marker = 'committed' if doublings == 0 else f'doubled  {doublings}.000000'
    work.wait_for_output('writer', marker, writer)
    os.kill(writer.pid, signal.SIGKILL)
    writer.communicate(timeout=PATIENCE)
    check(writer.returncode == -signal.SIGKILL, f'the writer ended with {writer.returncode} before the kill')
    check(work.integrity('crash') == ['ok'], f'integrity check after kill: {work.integrity("crash")}')
    output = work.run('next', NEXT_LOGON)
    seen = values_printed(output)
    expected = [[COMMITTED_ROWS, COMMITTED_ROWS, COMMITTED_ROWS, 0], [COMMITTED_ROWS + 1]]
    check(seen == expected, f'after a kill at {doublings} doubling(s) the next logon saw {seen}, not {expected}')


def main():
    vorrun, folder = sys.argv[1], sys.argv[2]
    for doublings in KILL_AFTER_DOUBLINGS:
        shutil.rmtree(folder, ignore_errors=True)
        kill_round(Work(vorrun, folder), doublings)
        print(f'killed after {doublings} doubling(s): committed rows intact, file sound, next logon writes')
    shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == '__main__':
    sys.exit(main())
