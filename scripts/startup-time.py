#!/usr/bin/env python3
"""Times a start of the program: from launch until its start-up sequence has ended.

The last step of the start-up connects to the programmer, which stores the hardware IDs in a
fresh settings file; the script polls for them. Runs on whatever display the environment
gives (set QT_QPA_PLATFORM=offscreen, or run under xvfb-run).
Usage: scripts/startup-time.py [program]   (default: build/tessaflex)
"""
import os
import subprocess
import sys
import tempfile
import time

program = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "build", "tessaflex")
with tempfile.TemporaryDirectory() as world:
    runtime = os.path.join(world, "runtime")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(world, "config"), XDG_RUNTIME_DIR=runtime)
    ini = os.path.join(world, "config", "Tessaflex", "Tessaflex.ini")
    start = time.monotonic()
    process = subprocess.Popen([program], env=env, stderr=subprocess.DEVNULL)
    try:
        while not (os.path.exists(ini) and b"Hardware" in open(ini, "rb").read()):
            if process.poll() is not None or time.monotonic() - start > 30:
                sys.exit("the program ended or hung before its start-up was done")
            time.sleep(0.002)
        print("start-up done after %.0f ms" % ((time.monotonic() - start) * 1000))
    finally:
        process.kill()
        process.wait()
