#!/usr/bin/env python3
"""Kills pinbro-cli (SIGKILL) at random moments of its long operations (copy, move, recycle,
restore, encrypt, decrypt, zip create and zip extract) and checks what is left.

For each operation, every trial starts from a fresh device root holding a small tree of files
with known contents, runs the operation, kills it after a random part of the time an
uninterrupted run takes, and then checks:
  - no byte is lost: every file is intact at its source or complete at its destination (a
    recycled or encrypted file counts when restoring or decrypting it gives the bytes back);
  - nothing under a final name is partial: every file found is complete;
  - a second, uninterrupted run finishes the work and leaves no temporaries ("~pb*") behind.

Usage: crashtest.py --cli build/app/pinbro-cli [--trials N] [--seed S] [--ops copy,move,...]
Exit status 0 when every trial held, 1 otherwise.
"""

import argparse
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import zipfile

PASSWORD = "crash test password"
# Sizes of the tree's files: a few large ones, so that a kill lands inside a file's data.
FILE_SIZES = [128 << 20, 24 << 20, 3 << 20, 1 << 20, 512 << 10, 200 << 10, 64 << 10, 10 << 10,
              1000, 1, 0, 33333]


def sha(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


class Trial:
    """One fresh device root with the tree under \\src, and the CLI bound to it."""

    def __init__(self, cli, work, template, manifest):
        self.cli = cli
        self.dir = tempfile.mkdtemp(dir=work)
        self.root = os.path.join(self.dir, "root")
        self.hive = os.path.join(self.dir, "hive.db")
        self.pwfile = os.path.join(self.dir, "pw")
        with open(self.pwfile, "w") as f:
            f.write(PASSWORD + "\n")
        os.makedirs(self.root)
        shutil.copytree(template, os.path.join(self.root, "src"))
        os.makedirs(os.path.join(self.root, "dst"))
        self.manifest = manifest

    def argv(self, *args):
        return [self.cli, "--root", self.root, "--registry", self.hive, "--answer", "yes-all",
                "--password-file", self.pwfile, "--quiet", *args]

    def run(self, *args):
        return subprocess.run(self.argv(*args), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True)

    def run_killed(self, delay, *args):
        proc = subprocess.Popen(self.argv(*args), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(delay)
        killed = proc.poll() is None
        if killed:
            proc.send_signal(signal.SIGKILL)
        proc.wait()
        return killed

    def host(self, device_path):
        return os.path.join(self.root, *device_path.strip("\\").split("\\"))

    def bin_names(self):
        out = self.run("ls", ":bin").stdout
        return [line.split("\t")[-1] for line in out.splitlines() if "\t" in line]

    def files(self, rel_root):
        """Relative path -> host path of every file below the device folder rel_root."""
        base = self.host(rel_root)
        found = {}
        for folder, _, names in os.walk(base):
            for name in names:
                path = os.path.join(folder, name)
                found[os.path.relpath(path, base)] = path
        return found

    def leftovers(self):
        return [os.path.join(folder, name) for folder, dirs, names in os.walk(self.root)
                for name in names + dirs if name.startswith("~pb")]

    def decrypts_to(self, enc_path, digest):
        """True when the .enc file decrypts, in a scratch root, to the bytes of digest."""
        scratch = Trial.__new__(Trial)
        scratch.cli, scratch.pwfile = self.cli, self.pwfile
        scratch.dir = tempfile.mkdtemp(dir=self.dir)
        scratch.root = os.path.join(scratch.dir, "root")
        scratch.hive = os.path.join(scratch.dir, "hive.db")
        os.makedirs(scratch.root)
        shutil.copy(enc_path, os.path.join(scratch.root, "f.enc"))
        ok = scratch.run("decrypt", "\\f.enc").returncode == 0
        out = os.path.join(scratch.root, "f")
        ok = ok and os.path.exists(out) and sha(out) == digest
        shutil.rmtree(scratch.dir)
        return ok


def check_complete(trial, rel_root, problems, what):
    """Every file below rel_root is complete (its bytes are the source's)."""
    for rel, path in trial.files(rel_root).items():
        if rel not in trial.manifest:
            problems.append(f"{what}: unexpected file {rel}")
        elif sha(path) != trial.manifest[rel]:
            problems.append(f"{what}: partial or wrong file under its final name: {rel}")


def check_all_at(trial, rel_root, problems, what):
    found = trial.files(rel_root)
    for rel, digest in trial.manifest.items():
        if rel not in found:
            problems.append(f"{what}: {rel} is missing")
        elif sha(found[rel]) != digest:
            problems.append(f"{what}: {rel} differs")


def check_encrypted(trial, problems):
    """Each file is intact as itself or as a .enc that decrypts to it; nothing is partial."""
    found = trial.files("\\src")
    for rel, digest in trial.manifest.items():
        plain, enc = found.get(rel), found.get(rel + ".enc")
        if plain is None and enc is None:
            problems.append(f"{rel} is neither plain nor encrypted")
        if plain is not None and sha(plain) != digest:
            problems.append(f"{rel}: partial plain file under its final name")
        if enc is not None and not trial.decrypts_to(enc, digest):
            problems.append(f"{rel}.enc: does not decrypt to the original")
    for rel in found:
        if rel not in trial.manifest and not (rel.endswith(".enc") and rel[:-4] in trial.manifest):
            problems.append(f"unexpected file {rel}")


def device_files(trial, suffix=""):
    return ["\\src\\" + rel.replace(os.sep, "\\") + suffix for rel in sorted(trial.manifest)]


# Each operation: prepare (before the timed run), the command, the checks right after the
# kill, and the recovery run with its checks.
def op_copy():
    def after_kill(t, p):
        check_all_at(t, "\\src", p, "source")
        if os.path.isdir(t.host("\\dst\\src")):
            check_complete(t, "\\dst\\src", p, "destination")

    def recover(t, p):
        r = t.run("copy", "\\src", "\\dst")
        if r.returncode != 0:
            p.append("copy after the kill failed: " + r.stderr.strip())
        check_all_at(t, "\\src", p, "source")
        check_all_at(t, "\\dst\\src", p, "destination")
    return None, lambda t: ["copy", "\\src", "\\dst"], after_kill, recover


def op_move():
    def after_kill(t, p):
        src = t.files("\\src") if os.path.isdir(t.host("\\src")) else {}
        dst = t.files("\\dst\\src") if os.path.isdir(t.host("\\dst\\src")) else {}
        for rel, digest in t.manifest.items():
            here = [path for path in (src.get(rel), dst.get(rel)) if path]
            if not here:
                p.append(f"{rel} is at neither the source nor the destination")
            for path in here:
                if sha(path) != digest:
                    p.append(f"partial or wrong file under its final name: {path}")

    def recover(t, p):
        if os.path.isdir(t.host("\\src")):
            r = t.run("move", "\\src", "\\dst")
            if r.returncode != 0:
                p.append("move after the kill failed: " + r.stderr.strip())
        if os.path.exists(t.host("\\src")):
            p.append("the source folder is still there after the second move")
        check_all_at(t, "\\dst\\src", p, "destination")
    return None, lambda t: ["move", "\\src", "\\dst"], after_kill, recover


def restore_all(t, p, what):
    names = t.bin_names()
    if names:
        r = t.run("bin", "restore", *names)
        if r.returncode != 0:
            p.append(f"{what}: restore failed: " + r.stderr.strip())
    if t.bin_names():
        p.append(f"{what}: the bin still lists items after restoring all")
    check_all_at(t, "\\src", p, what)


def check_sources_intact(t, p):
    if os.path.isdir(t.host("\\src")):
        check_complete(t, "\\src", p, "source")


def op_recycle():
    return None, lambda t: ["delete", "\\src"], check_sources_intact, \
        lambda t, p: restore_all(t, p, "after restoring")


def op_restore():
    def prepare(t):
        r = t.run("delete", "\\src")
        assert r.returncode == 0, r.stderr
    return prepare, lambda t: ["bin", "restore", *t.bin_names()], check_sources_intact, \
        lambda t, p: restore_all(t, p, "after the second restore")


def finish_crypt(t, p, verb, suffix, left_suffix):
    """Runs verb over the files still waiting for it; then every file is in its new form."""
    waiting = [path for path in device_files(t, suffix) if os.path.exists(t.host(path))]
    if waiting:
        r = t.run(verb, *waiting)
        if r.returncode != 0:
            p.append(f"{verb} after the kill failed: " + r.stderr.strip())
    left = [path for path in device_files(t, left_suffix) if os.path.exists(t.host(path))]
    if left:
        p.append(f"after the second {verb}, {len(left)} files are still there, such as {left[0]}")
    check_encrypted(t, p)


def op_encrypt():
    return None, lambda t: ["encrypt", *device_files(t)], check_encrypted, \
        lambda t, p: finish_crypt(t, p, "encrypt", "", "")


def op_decrypt():
    def prepare(t):
        r = t.run("encrypt", *device_files(t))
        assert r.returncode == 0, r.stderr
    return prepare, lambda t: ["decrypt", *device_files(t, ".enc")], check_encrypted, \
        lambda t, p: finish_crypt(t, p, "decrypt", ".enc", ".enc")


def check_archive(t, p, what):
    """An archive that exists is complete: every member's bytes are the source's."""
    path = t.host("\\dst\\a.zip")
    if not os.path.exists(path):
        return False
    try:
        with zipfile.ZipFile(path) as z:
            if z.testzip() is not None:
                p.append(f"{what}: the archive under its final name is damaged")
            members = {i.filename[len("src/"):]: i for i in z.infolist() if not i.is_dir()}
            for rel, digest in t.manifest.items():
                info = members.get(rel.replace(os.sep, "/"))
                if info is None:
                    p.append(f"{what}: the archive lacks {rel}")
                elif hashlib.sha256(z.read(info)).hexdigest() != digest:
                    p.append(f"{what}: the archive's {rel} differs")
    except zipfile.BadZipFile as error:
        p.append(f"{what}: partial archive under its final name ({error})")
    return True


def op_zip_create():
    def after_kill(t, p):
        check_all_at(t, "\\src", p, "source")
        check_archive(t, p, "after the kill")

    def recover(t, p):
        r = t.run("zip", "create", "\\dst\\a.zip", "\\src")
        if r.returncode != 0:
            p.append("zip create after the kill failed: " + r.stderr.strip())
        if not check_archive(t, p, "after the second create"):
            p.append("no archive after the second create")
    return None, lambda t: ["zip", "create", "\\dst\\a.zip", "\\src"], after_kill, recover


def op_zip_extract():
    def prepare(t):
        r = t.run("zip", "create", "\\a.zip", "\\src")
        assert r.returncode == 0, r.stderr

    def after_kill(t, p):
        if os.path.isdir(t.host("\\dst\\src")):
            check_complete(t, "\\dst\\src", p, "destination")

    def recover(t, p):
        r = t.run("zip", "extract", "\\a.zip", "\\dst")
        if r.returncode != 0:
            p.append("zip extract after the kill failed: " + r.stderr.strip())
        check_all_at(t, "\\dst\\src", p, "destination")
    return prepare, lambda t: ["zip", "extract", "\\a.zip", "\\dst"], after_kill, recover


OPERATIONS = {"copy": op_copy, "move": op_move, "recycle": op_recycle, "restore": op_restore,
              "encrypt": op_encrypt, "decrypt": op_decrypt, "create": op_zip_create,
              "extract": op_zip_extract}


def make_template(work, rng):
    template = os.path.join(work, "template")
    manifest = {}
    for i, size in enumerate(FILE_SIZES):
        rel = os.path.join("sub" if i % 3 == 0 else "", "deep" if i % 4 == 1 else "", f"f{i}.bin")
        path = os.path.join(template, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(rng.randbytes(size))
        manifest[os.path.normpath(rel)] = sha(path)
    return template, manifest


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--trials", type=int, default=20)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    parser.add_argument("--ops", default=",".join(OPERATIONS))
    args = parser.parse_args()
    rng = random.Random(args.seed)
    work = tempfile.mkdtemp(prefix="pinbro-crash-", dir=os.environ.get("TMPDIR", "/var/tmp"))
    template, manifest = make_template(work, rng)
    print(f"seed {args.seed}, {len(manifest)} files, {sum(FILE_SIZES) >> 20} MiB per trial")
    failed = 0
    for name in args.ops.split(","):
        prepare, command, after_kill, recover = OPERATIONS[name]()
        # How long an uninterrupted run takes (the fastest of three), so that kills fall
        # inside it.
        duration = None
        for _ in range(3):
            t = Trial(args.cli, work, template, manifest)
            if prepare:
                prepare(t)
            start = time.monotonic()
            r = t.run(*command(t))
            took = time.monotonic() - start
            duration = took if duration is None else min(duration, took)
            if r.returncode != 0:
                print(f"{name}: the uninterrupted run failed: {r.stderr.strip()}")
                return 1
            shutil.rmtree(t.dir)
        killed = held = 0
        for trial in range(args.trials):
            t = Trial(args.cli, work, template, manifest)
            if prepare:
                prepare(t)
            killed += t.run_killed(rng.uniform(0.02, 1.0) * duration, *command(t))
            problems = []
            after_kill(t, problems)
            recover(t, problems)
            problems += [f"temporary left after the next run: {p}" for p in t.leftovers()]
            if problems:
                failed += 1
                print(f"{name} trial {trial}: FAILED (kept in {t.dir})")
                for line in problems:
                    print("   ", line)
            else:
                held += 1
                shutil.rmtree(t.dir)
        print(f"{name}: {args.trials} trials ({killed} killed mid-run, run {duration:.2f} s), "
              f"{held} held")
    if failed == 0:
        shutil.rmtree(work)
    print("all trials held" if failed == 0 else f"{failed} trials FAILED")
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
