#!/usr/bin/env python3
"""Build checks on the PE binaries, read with objdump.

exports OBJDUMP DLL...   the export table holds exactly the expected plain names;
                         an x86_64 library also the 64-bit host's InstallHostHook
imports OBJDUMP BIN...   every binary imports system DLLs only
setting-imports OBJDUMP EXE   Setting.exe imports GetMapFilePointer by name from
                         PTRHK32A.dll, and otherwise system DLLs only
shared  OBJDUMP DLL...   the data section of the library's hook handles is marked shared
windows OBJDUMP TARGET DATA BIN...   every imported function is one that the
                         target Windows has (win95 for the i686 deliverables,
                         xp64 for the x86_64 build), by the lists in DATA, and
                         the PE headers ask for no newer subsystem
hooklib OBJDUMP DLL OBJ...   the hook library is lean: kernel32 and user32
                         only, no TLS directory, at most 32 KB stripped, and
                         no object of it carries constructors or TLS
cpu OBJDUMP FILE...      every i686 binary and object holds only instructions
                         of the lowest CPU it claims (LOWEST_CPU): the hook
                         library and the suite's own code run on an i486
resources HEADER BIN...  every shipped file carries a version resource with the
                         suite's version, product and maker (HEADER, the one
                         place that names them), its own file name and a
                         description; only the programs that lay themselves
                         out for the screen's resolution say so in their manifest
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

EXPECTED_EXPORTS = {
    "InstallHook", "GetMapFilePointer", "MouseProc", "SysMsgHookProc",
    "LowLevelMouseProc", "LowLevelMouseProc5",
    "DoAutoUp", "DoAutoDown", "DoAutoLeft", "DoAutoRight",
    "CreateWheelWindow", "WheelWndProc", "GetHookStatus",
}

# The x86_64 library's own, for the 64-bit host beside a 32-bit agent.
EXPECTED_EXPORTS_X86_64 = EXPECTED_EXPORTS | {"InstallHostHook"}

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comctl32.dll",
    "shell32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "comdlg32.dll",
    "shlwapi.dll", "version.dll", "winmm.dll", "ws2_32.dll", "ntdll.dll",
}

IMAGE_SCN_MEM_SHARED = 0x10000000


def objdump(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def export_names(tool, path):
    text = objdump(tool, "-p", path)
    names = set()
    in_table = False
    for line in text.splitlines():
        if line.startswith("[Ordinal/Name Pointer] Table"):
            in_table = True
            continue
        if in_table:
            m = re.match(r"\s+\[\s*\d+\]\s+(\S+)", line)
            if not m:
                if line.strip():
                    break
                continue
            names.add(m.group(1))
    return names


IMAGE_FILE_MACHINE_AMD64 = 0x8664


def machine(path):
    data = open(path, "rb").read(4096)
    pe = int.from_bytes(data[0x3C:0x40], "little")
    return int.from_bytes(data[pe + 4:pe + 6], "little")


def check_exports(tool, paths):
    ok = True
    for path in paths:
        expected = EXPECTED_EXPORTS_X86_64 if machine(path) == IMAGE_FILE_MACHINE_AMD64 else EXPECTED_EXPORTS
        names = export_names(tool, path)
        missing = expected - names
        extra = names - expected
        if missing or extra:
            print(f"{path}: missing {sorted(missing)}, unexpected {sorted(extra)}")
            ok = False
        else:
            print(f"{path}: exports {sorted(names)}")
    return ok


def check_imports(tool, paths):
    ok = True
    for path in paths:
        text = objdump(tool, "-p", path)
        dlls = {m.lower() for m in re.findall(r"DLL Name: (\S+)", text)}
        foreign = {d for d in dlls if d not in SYSTEM_DLLS and not d.startswith("api-ms-win-")}
        if foreign:
            print(f"{path}: imports non-system DLLs {sorted(foreign)}")
            ok = False
        else:
            print(f"{path}: imports {sorted(dlls)}")
    return ok


def imported_names(tool, path):
    """{dll: [imported names]} from the import tables; an import by ordinal is '#n'."""
    imports = {}
    current = None
    for line in objdump(tool, "-p", path).splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            current = imports.setdefault(m.group(1).lower(), [])
            continue
        if current is None:
            continue
        if not line.strip():
            current = None
            continue
        entry = re.match(r"\s*[0-9a-fA-F]+\s+(\d+)\s+(\S+)\s*$", line)
        if entry:
            current.append(entry.group(2) if entry.group(2) != "<none>" else "#" + entry.group(1))
    return imports


def check_setting_imports(tool, path):
    imports = imported_names(tool, path)
    library = imports.pop("ptrhk32a.dll", None)
    foreign = {d for d in imports if d not in SYSTEM_DLLS and not d.startswith("api-ms-win-")}
    print(f"{path}: PTRHK32A.dll {library}, system {sorted(imports)}")
    if library != ["GetMapFilePointer"]:
        print(f"{path}: expected PTRHK32A.dll!GetMapFilePointer by name, found {library}")
        return False
    if foreign:
        print(f"{path}: imports non-system DLLs {sorted(foreign)}")
        return False
    return True


def section_flags(path):
    """(name, characteristics) of every section, from the PE section table."""
    data = open(path, "rb").read()
    pe = int.from_bytes(data[0x3C:0x40], "little")
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    count = int.from_bytes(data[pe + 6:pe + 8], "little")
    optional = int.from_bytes(data[pe + 20:pe + 22], "little")
    table = pe + 24 + optional
    sections = []
    for i in range(count):
        entry = data[table + 40 * i: table + 40 * (i + 1)]
        name = entry[:8].rstrip(b"\0").decode("ascii", "replace")
        sections.append((name, int.from_bytes(entry[36:40], "little")))
    return sections


def check_shared(tool, path):
    headers = objdump(tool, "-h", path)
    if ".shared" not in headers:
        print(f"{path}: no .shared section in objdump -h")
        return False
    for name, flags in section_flags(path):
        if name == ".shared":
            shared = bool(flags & IMAGE_SCN_MEM_SHARED)
            print(f"{path}: .shared characteristics 0x{flags:08x}, shared={shared}")
            return shared and bool(flags & 0x80000000) and bool(flags & 0x40000000)
    print(f"{path}: .shared not in the section table")
    return False


# Which first Windows each target accepts.
TARGETS = {
    "win95": {"95"},
    "xp64": {"95", "nt4", "98", "2000", "xp", "xp64"},
}
# The C runtime: part of Windows 98 and NT 4, on Windows 95 a prerequisite
# (README); accepted for the programs, never for the hook library.
RUNTIME_DLL = "msvcrt.dll"
HOOK_LIBRARY_LIMIT = 32 * 1024


def read_lists(folder):
    """{dll: {function: first Windows}} from the lists of the data folder."""
    lists = {}
    for name in os.listdir(folder):
        if not name.endswith(".txt"):
            continue
        dll = name[:-4]
        if dll == "kernel32-win95":
            dll, first = "kernel32", "95"
        else:
            first = None
        table = lists.setdefault(dll + ".dll", {})
        for line in open(os.path.join(folder, name)):
            line = line.split("#", 1)[0].split()
            if line:
                table[line[0]] = first or line[1]
    return lists


def pe_header(path):
    """The fields of the PE optional header the loader of an old Windows checks."""
    data = open(path, "rb").read()
    pe = int.from_bytes(data[0x3C:0x40], "little")
    opt = pe + 24
    magic = int.from_bytes(data[opt:opt + 2], "little")
    word = lambda at: int.from_bytes(data[opt + at:opt + at + 2], "little")
    directories = opt + (96 if magic == 0x10B else 112)
    tls = directories + 9 * 8
    return {
        "os": (word(40), word(42)),
        "subsystem": (word(48), word(50)),
        "tls_size": int.from_bytes(data[tls + 4:tls + 8], "little"),
    }


def check_windows(tool, target, folder, paths):
    lists = read_lists(folder)
    accepted = TARGETS[target]
    ok = True
    for path in paths:
        name = os.path.basename(path)
        problems = []
        for dll, functions in imported_names(tool, path).items():
            if dll == "ptrhk32a.dll":
                continue  # Setting.exe's one import of the library; build_setting_imports checks it
            table = lists.get(dll)
            if table is None:
                problems.append(f"{dll} has no list of what each Windows exports")
                continue
            for function in functions:
                first = table.get(function)
                if first is None:
                    problems.append(f"{dll}!{function} is not listed")
                elif first not in accepted and not (dll == RUNTIME_DLL and first == "98"):
                    problems.append(f"{dll}!{function} first came with Windows {first}")
        header = pe_header(path)
        newest = (4, 0) if target == "win95" else (5, 2)
        if header["subsystem"] > newest or header["os"] > newest:
            problems.append(f"headers ask for Windows {header['os']} and subsystem {header['subsystem']}")
        if problems:
            ok = False
            for problem in problems:
                print(f"{name}: {problem}")
        else:
            print(f"{name}: loads on {target} (subsystem {header['subsystem'][0]}.{header['subsystem'][1]})")
    return ok


def check_hooklib(tool, path, objects):
    problems = []
    dlls = set(imported_names(tool, path))
    if not dlls <= {"kernel32.dll", "user32.dll"}:
        problems.append(f"imports {sorted(dlls - {'kernel32.dll', 'user32.dll'})}")
    if pe_header(path)["tls_size"]:
        problems.append("has a TLS directory")
    strip = tool.replace("objdump", "strip")
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, "stripped.dll")
        shutil.copyfile(path, copy)
        subprocess.run([strip, copy], check=True)
        size = os.path.getsize(copy)
    if size > HOOK_LIBRARY_LIMIT:
        problems.append(f"is {size} bytes stripped, above {HOOK_LIBRARY_LIMIT}")
    for obj in objects:
        for section in re.findall(r"^\s*\d+\s+(\S+)", objdump(tool, "-h", obj), re.M):
            if section.startswith((".ctors", ".dtors", ".init_array", ".CRT$X", ".tls")):
                problems.append(f"{os.path.basename(obj)} has a {section} section")
    for problem in problems:
        print(f"{path}: {problem}")
    if not problems:
        print(f"{path}: imports {sorted(dlls)}, {size} bytes stripped, no TLS, no constructors")
    return not problems


# Instructions each CPU after the i486 brought, by AT&T mnemonic; MMX and SSE
# are told by their registers too. "pause" (rep nop) and "tzcnt" (rep bsf,
# which the compiler emits for a count of trailing zeros of a non-zero value)
# run as nop and bsf on every CPU; ud2 traps on every CPU, as it is meant to.
LATER_INSTRUCTIONS = {
    "pentium": {"cpuid", "rdtsc", "rdmsr", "wrmsr", "cmpxchg8b", "rsm"},
    "pentium pro": {"cmove", "cmovne", "cmova", "cmovae", "cmovb", "cmovbe", "cmovg", "cmovge", "cmovl", "cmovle",
                    "cmovs", "cmovns", "cmovo", "cmovno", "cmovp", "cmovnp", "fcmovb", "fcmove", "fcmovbe", "fcmovu",
                    "fcmovnb", "fcmovne", "fcmovnbe", "fcmovnu", "fcomi", "fcomip", "fucomi", "fucomip", "rdpmc",
                    "sysenter", "sysexit", "fxsave", "fxrstor"},
    "mmx": {"emms", "femms"},
    "sse": {"ldmxcsr", "stmxcsr", "sfence", "lfence", "mfence", "prefetchnta", "prefetcht0", "prefetcht1",
            "prefetcht2", "prefetchw", "movnti", "clflush", "rdrand", "rdseed", "popcnt", "lzcnt", "movbe",
            "crc32", "xgetbv", "andn", "bextr", "blsi", "blsmsk", "blsr", "pdep", "pext", "sarx", "shlx", "shrx"},
}
CPU_ORDER = ["i486", "pentium", "pentium pro"]
# The lowest CPU of each file checked: the hook library, which is mapped into
# every program, the resource modules and every object of the suite's own
# code, are built for the i486. The programs link the toolchain's own runtime
# (mingw-w64's C runtime extensions, libstdc++, zlib), which comes built for
# the Pentium Pro, and whose exception tables lie in the code section, where
# no disassembly tells them from instructions: a program is held to its
# objects, and the README names the Pentium Pro for it.
LOWEST_CPU = {"ptrhk32a.dll": "i486", "lngpak.dll": "i486", "spinrsrc.dll": "i486"}


def later_instructions(tool, path):
    """{class: {mnemonic: count}} of the instructions beyond the i486 in the code of a file."""
    found = {}
    for line in objdump(tool, "-d", "--no-show-raw-insn", path).splitlines():
        parts = line.split("\t")
        if len(parts) < 2 or not parts[0].strip().endswith(":"):
            continue
        mnemonic, _, operands = parts[1].strip().partition(" ")
        kind = next((k for k, names in LATER_INSTRUCTIONS.items() if mnemonic in names), None)
        if kind is None and re.search(r"%[xyz]mm\d", operands):
            kind = "sse"
        elif kind is None and re.search(r"%mm\d", operands):
            kind = "mmx"
        if kind:
            found.setdefault(kind, {}).setdefault(mnemonic, 0)
            found[kind][mnemonic] += 1
    return found


def check_cpu(tool, paths):
    ok = True
    objects = 0
    for path in paths:
        name = os.path.basename(path)
        lowest = LOWEST_CPU.get(name.lower(), "i486")
        allowed = set(CPU_ORDER[1:CPU_ORDER.index(lowest) + 1])
        problems = [f"{kind} instructions {mnemonics}"
                    for kind, mnemonics in later_instructions(tool, path).items() if kind not in allowed]
        if problems:
            ok = False
            print(f"{path}: claims the {lowest}, holds " + "; ".join(problems))
        elif name.endswith((".obj", ".res")):
            objects += 1
        else:
            print(f"{name}: runs on the {lowest}")
    print(f"{objects} objects of the suite's own code: run on the i486")
    return ok


# The programs whose manifest declares that they draw for the screen's resolution.
DPI_AWARE = {"setting.exe", "ptrsetup.exe"}
FIXED_INFO = b"\xbd\x04\xef\xfe\x00\x00\x01\x00"  # VS_FIXEDFILEINFO: signature, structure version 1.0


def suite_facts(header):
    """The macros of suite_version.h: {name: number or text}."""
    facts = {}
    for line in open(header):
        m = re.match(r'#define (PTR_\w+) (?:"([^"]*)"|(\d+))', line)
        if m:
            facts[m.group(1)] = m.group(2) if m.group(2) is not None else int(m.group(3))
    return facts


def version_strings(data, fixed):
    """The StringFileInfo values of the version resource whose fixed part lies at `fixed`."""
    start = fixed - 40  # wLength, wValueLength, wType, "VS_VERSION_INFO" and its padding
    blob = data[start:start + int.from_bytes(data[start:start + 2], "little")]
    values = {}
    for key in ("CompanyName", "FileDescription", "FileVersion", "InternalName", "OriginalFilename", "ProductName",
                "ProductVersion"):
        at = blob.find(key.encode("utf-16-le") + b"\0\0")
        if at < 0:
            continue
        at += 2 * len(key) + 2
        while (start + at) % 4:
            at += 2
        end = at
        while end + 1 < len(blob) and blob[end:end + 2] != b"\0\0":
            end += 2
        values[key] = blob[at:end].decode("utf-16-le")
    return values


def check_resources(header, paths):
    facts = suite_facts(header)
    numbers = (facts["PTR_VERSION_MAJOR"], facts["PTR_VERSION_MINOR"], facts["PTR_VERSION_PATCH"], 0)
    expected = {"CompanyName": facts["PTR_PUBLISHER"], "ProductName": facts["PTR_PRODUCT_NAME"],
                "FileVersion": facts["PTR_VERSION_TEXT"], "ProductVersion": facts["PTR_VERSION_TEXT"]}
    ok = True
    for path in paths:
        name = os.path.basename(path)
        data = open(path, "rb").read()
        problems = []
        fixed = data.find(FIXED_INFO)
        if fixed < 0:
            problems.append("has no version resource")
        else:
            word = lambda at: int.from_bytes(data[fixed + at:fixed + at + 4], "little")
            found = (word(8) >> 16, word(8) & 0xFFFF, word(12) >> 16, word(12) & 0xFFFF)
            if found != numbers or (word(16), word(20)) != (word(8), word(12)):
                problems.append(f"carries file version {found}, not {numbers}")
            strings = version_strings(data, fixed)
            for key, value in expected.items():
                if strings.get(key) != value:
                    problems.append(f"{key} is {strings.get(key)!r}, not {value!r}")
            if strings.get("OriginalFilename", "").lower() != name.lower():
                problems.append(f"OriginalFilename is {strings.get('OriginalFilename')!r}")
            if not strings.get("FileDescription"):
                problems.append("has no description")
        if (b"<dpiAware" in data) != (name.lower() in DPI_AWARE):
            problems.append("declares DPI awareness" if b"<dpiAware" in data else "does not declare DPI awareness")
        for problem in problems:
            print(f"{name}: {problem}")
        if not problems:
            print(f"{name}: version {'.'.join(map(str, numbers))}, {expected['ProductName']}")
        ok = ok and not problems
    return ok


def main(argv):
    what, tool, paths = argv[1], argv[2], argv[3:]
    if what == "exports":
        ok = check_exports(tool, paths)
    elif what == "imports":
        ok = check_imports(tool, paths)
    elif what == "setting-imports":
        ok = all(check_setting_imports(tool, p) for p in paths)
    elif what == "shared":
        ok = all(check_shared(tool, p) for p in paths)
    elif what == "windows":
        ok = check_windows(tool, paths[0], paths[1], paths[2:])
    elif what == "hooklib":
        ok = check_hooklib(tool, paths[0], paths[1:])
    elif what == "cpu":
        ok = check_cpu(tool, paths)
    elif what == "resources":
        ok = check_resources(tool, paths)
    else:
        print(__doc__)
        return 2
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
