#!/usr/bin/env python3
"""Runs Linux programs for Windows test binaries under Wine.

The oracles (python3, unzip, 7z, openssl, ...) and the HTTP test server are Linux
programs, which Wine's cmd.exe cannot start. scripts/wine-run.sh starts this bridge on
127.0.0.1 before the test binary and passes its port in VUTIL_HOST_BRIDGE; the test
support (tests/support/test_support.cpp) sends each request as one JSON line:

  {"op": "run", "command": "<sh command>", "env": {...}}
      -> {"status": N, "output": "<base64 of stdout>"}
  {"op": "spawn", "argv": [...], "env": {...}}
      -> {"first_line": "..."}; the program runs until the client closes the connection.

A Windows program named at a command position runs through wine-run.sh and keeps the
line's Windows paths (with forward slashes, which the shell leaves alone); in any other
line Windows paths ("C:\\users\\...") in the
command and the variables become the Unix paths behind the prefix's drives. So test
commands read the same on both platforms.
"""
import base64
import json
import os
import re
import socket
import socketserver
import subprocess
import sys
import threading

PREFIX = os.environ.get("WINEPREFIX", "")
WINE_RUN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "wine-run.sh")
WINE_RUN = os.path.normpath(WINE_RUN)

_DRIVE = re.compile(r"(?<![A-Za-z0-9])([A-Za-z]):\\([^\s\"'|&;<>()]*)")
_EXE = re.compile(r"(^\s*|[;|&(]\s*|(?:^|[;|&(])\s*(?:[A-Za-z_][A-Za-z0-9_]*=\S*\s+)+)('?)(/[^\s']+\.exe)\2(?=\s|$)")


def drive_root(letter):
    # Only the prefix's drives: "D:\\x" in a test's data stays text.
    link = os.path.join(PREFIX, "dosdevices", letter.lower() + ":")
    if not PREFIX or not os.path.lexists(link):
        return None
    return os.path.realpath(link)


def unix_paths(text):
    def repl(m):
        root = drive_root(m.group(1))
        if not root:
            return m.group(0)
        rest = m.group(2).replace("\\", "/")
        return root.rstrip("/") + "/" + rest
    return _DRIVE.sub(repl, text)


def forward_slashes(text):
    """Windows paths with forward slashes, which survive the shell's quoting rules and
    which a Windows program reads as the same path."""
    def repl(m):
        if not drive_root(m.group(1)):
            return m.group(0)
        return m.group(1) + ":/" + m.group(2).replace("\\", "/")
    return _DRIVE.sub(repl, text)


def windows_programs(command):
    def repl(m):
        return m.group(1) + "'" + WINE_RUN + "' '" + m.group(3) + "'"
    return _EXE.sub(repl, command)


def child_env(extra, translate=True):
    env = dict(os.environ)
    for k, v in (extra or {}).items():
        if v is None:
            env.pop(k, None)
        else:
            env[k] = unix_paths(v) if translate else v
    return env


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        line = self.rfile.readline()
        if not line:
            return
        req = json.loads(line)
        if req.get("op") == "run":
            command = windows_programs(req["command"])
            windows = command != req["command"]
            # A line that runs a Windows program keeps its Windows paths for it; any
            # other line is for Linux programs, which get the Unix paths.
            env = child_env(req.get("env"), translate=not windows)
            command = forward_slashes(command) if windows else unix_paths(command)
            proc = subprocess.run(["/bin/sh", "-c", command], stdout=subprocess.PIPE, env=env)
            status = proc.returncode if proc.returncode >= 0 else -1
            output = proc.stdout
            if windows:
                # A Windows program's text-mode output ends lines with CR LF.
                output = output.replace(b"\r\n", b"\n")
            reply = {"status": status, "output": base64.b64encode(output).decode()}
            self.wfile.write((json.dumps(reply) + "\n").encode())
        elif req.get("op") == "spawn":
            env = child_env(req.get("env"))
            argv = [unix_paths(a) for a in req["argv"]]
            proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env)
            first = proc.stdout.readline().decode(errors="replace").strip()
            self.wfile.write((json.dumps({"first_line": first}) + "\n").encode())
            self.wfile.flush()
            # The program lives as long as the connection does.
            try:
                while self.rfile.read(4096):
                    pass
            except OSError:
                pass
            proc.terminate()
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    # Stops when the script that started it closes our stdin.
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
