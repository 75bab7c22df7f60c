#!/usr/bin/env python3
"""Fails when the program or the player includes a header it may not stand on.

The floors, from the bottom: common/ (midi, ini, settings), the engine (engine/), the
client API (clientapi/), and side by side on them the program (app/) and the player
(player/). The two programs use the engine only through its public headers:

- app/ includes the client API (cvxlib.h), the public records and platform calls
  (cvx_records.h, cvx_platform.h, cvx_devices.h); the engine's own header cvxcore.h only in
  app/lua/, for CorvexLuaEvent.
- player/ includes the public engine headers (it links the platform layer statically) and
  one platform header besides: the service clock, the clock its timer runs on.
- Neither includes an engine-internal header (engine/<folder>/...), a client-API source
  header, or a header of the other program.

Tests may include any public header and the test support (tests/support/); they may not
include engine-internal headers either.

Every quoted #include is resolved as the build resolves it: beside the including file,
then below the program's own folder, common/*/include, the public include folders, tests/,
the engine's and the client API's roots, and last anywhere in the tree (an include folder
one target adds).
On failure each offending include is printed as "<file>:<line>: includes <header>".

Usage: floor_includes.py <source root>
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
PROGRAMS = ("app", "player")
APP_PUBLIC = {"cvxlib.h", "cvx_records.h", "cvx_platform.h", "cvx_devices.h"}
LUA_ONLY = {"cvxcore.h"}
PLAYER_PLATFORM = {"engine/platform/service_clock.h"}


def search_roots(root, program):
    common = os.path.join(root, "common")
    roots = [os.path.join(root, program)]
    if os.path.isdir(common):
        roots += sorted(os.path.join(common, lib, "include") for lib in os.listdir(common))
    roots += [os.path.join(root, "engine", "include"), os.path.join(root, "clientapi", "include"),
              os.path.join(root, "tests"), os.path.join(root, "engine"),
              os.path.join(root, "clientapi")]
    roots += [os.path.join(root, other) for other in PROGRAMS if other != program]
    return roots


def resolve(including, name, roots, tree):
    for base in [os.path.dirname(including)] + roots:
        candidate = os.path.join(base, name)
        if os.path.isfile(candidate):
            return os.path.normpath(candidate)
    # Reached through an include folder a single target adds: a file of the tree whose path
    # ends in the name, the including program's own first.
    matches = [path for path in tree if path.endswith("/" + name)]
    own = [path for path in matches if path.startswith(os.path.normpath(roots[0]) + "/")]
    return (own or matches or [None])[0]


def tree_files(root):
    for folder, subfolders, names in os.walk(root):
        subfolders[:] = [s for s in subfolders if not s.startswith((".", "build"))]
        for name in names:
            if name.endswith(".h"):
                yield os.path.normpath(os.path.join(folder, name))


def is_test(relative):
    return "/tests/" in "/" + relative


def verdict(program, relative_file, target):
    """None when the include is allowed, else why not."""
    top = target.split("/", 1)[0]
    if top in ("common", program):
        return None
    if top == "tests":
        return None if is_test(relative_file) and target.startswith("tests/support/") \
            else "test support outside a test"
    if top in PROGRAMS:
        return "a header of the other program"
    public = target.startswith(("engine/include/", "clientapi/include/"))
    name = os.path.basename(target)
    if public:
        if program == "player" or is_test(relative_file) or name in APP_PUBLIC:
            return None
        if name in LUA_ONLY and relative_file.startswith("app/lua/"):
            return None
        return "a public engine header the program does not use directly"
    if program == "player" and target in PLAYER_PLATFORM:
        return None
    if is_test(target):
        return None if is_test(relative_file) else "a test header outside a test"
    return "an engine-internal header" if top == "engine" else "a client-API source header"


def offences(root):
    tree = sorted(tree_files(root))
    for program in PROGRAMS:
        roots = search_roots(root, program)
        for folder, _, names in os.walk(os.path.join(root, program)):
            for name in sorted(names):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(folder, name)
                relative_file = os.path.relpath(path, root)
                with open(path, encoding="utf-8", errors="replace") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        target = match and resolve(path, match.group(1), roots, tree)
                        if not target:
                            continue
                        why = verdict(program, relative_file, os.path.relpath(target, root))
                        if why:
                            yield f"{relative_file}:{number}: includes " \
                                  f"{os.path.relpath(target, root)} ({why})"


def main(argv):
    if len(argv) != 2 or not os.path.isdir(argv[1]):
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    found = list(offences(argv[1]))
    for line in found:
        print(line)
    if found:
        return 1
    print("the program and the player include only what their floors allow")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
