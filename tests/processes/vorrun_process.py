"""Running vorrun scripts as processes of their own, for the tests that kill
them or run several at once against one database file."""
import os
import pathlib
import sqlite3
import subprocess
import sys
import time

# Seconds any single wait of these tests may last before it counts as a hang.
PATIENCE = 120


class Work:
    """A work folder that is also the database folder (VOR_DATA_DIR)."""

    def __init__(self, vorrun, folder, **env):
        self.vorrun = str(pathlib.Path(vorrun).resolve())
        self.folder = pathlib.Path(folder).resolve()
        self.folder.mkdir(parents=True, exist_ok=True)
        self.env = dict(os.environ, VOR_DATA_DIR=str(self.folder), **env)

    def start(self, name, script, **env):
        """vorrun on `script` (text), writing `name`.out and `name`.err; the Popen."""
        source = self.folder / f'{name}.vrb'
        source.write_text(script)
        command = [self.vorrun, '-source', str(source), '-out', str(self.folder / f'{name}.out'),
                   '-err', str(self.folder / f'{name}.err')]
        return subprocess.Popen(command, cwd=self.folder, env=dict(self.env, **env), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

    def run(self, name, script, **env):
        """Runs `script` to its end; its output. Fails on any diagnostic."""
        process = self.start(name, script, **env)
        _, stderr = process.communicate(timeout=PATIENCE)
        check(process.returncode == 0, f'{name} ended with {process.returncode}: {self.text(name, "err")}'
              f'{stderr.decode(errors="replace")}')
        return self.text(name, 'out')

    def text(self, name, kind):
        path = self.folder / f'{name}.{kind}'
        return path.read_text(errors='replace') if path.exists() else ''

    def wait_for_output(self, name, marker, process):
        """Waits until `name`.out holds `marker`; fails when the process ends first."""
        deadline = time.monotonic() + PATIENCE
        while marker not in self.text(name, 'out'):
            check(process.poll() is None, f'{name} ended before "{marker}": {self.text(name, "err")}')
            check(time.monotonic() < deadline, f'{name} never printed "{marker}"')
            time.sleep(0.01)

    def integrity(self, alias):
        """SQLite's integrity check of database `alias`, as a list of lines."""
        with sqlite3.connect(self.folder / f'{alias}.db') as db:
            return [row[0] for row in db.execute('PRAGMA integrity_check')]


def check(condition, message):
    if not condition:
        print('FAILED: ' + message, file=sys.stderr)
        sys.exit(1)


def values_printed(output):
    """What a script printed, one list per non-empty line: numbers as numbers,
    any other word (an error message) as text."""
    def value(word):
        try:
            return float(word)
        except ValueError:
            return word
    return [[value(word) for word in line.split()] for line in output.splitlines() if line.strip()]
