#!/usr/bin/env python3
"""Imports Lazrine's exports into khal, todoman, calcurse and khard and
compares what each client then holds with the source records, field by field.

The expected values come from `lazrine-cli list <kind> <file> --json --all`
and, for what that listing does not show (repeat rules and exception dates,
categories of appointments and tasks, every phone slot of a contact), from the
manifest the record-file builder writes beside its files. Nothing expected is
read from the exported vCard or iCalendar text; the export is only read to
split it into one file per item for the clients that keep a folder of files
and to learn which UID belongs to which record.

Every difference is reported, one line each: client, file, record, field,
expected and held value. Exit status 1 when there is any.

Usage: compare.py --cli PATH --maker PATH --mdb DIR [--zone ZONE ...]
"""
import argparse
import ast
import datetime as dt
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zoneinfo

WINDOW = (dt.date(2008, 1, 1), dt.date(2017, 12, 31))

# What each client can hold of each kind. A field a client cannot represent
# is left out for that client only, with the reason.
CAPABILITIES = {
    "khal": {
        "kind": "calendar",
        "fields": ["summary", "note", "location", "allday", "occurrences", "alarm"],
        "cannot": {"category": "khal 0.10's list format has no field for categories"},
        # khal's listing drops the white space a note ends with.
        "note_strip": True,
    },
    "calcurse-cal": {
        # calcurse's import keeps the first 8,000 or so characters of a note.
        "note_limit": 8000,
        "kind": "calendar",
        "fields": ["summary", "note", "allday", "occurrences", "alarm"],
        "cannot": {
            "category": "calcurse has no categories",
            "location": "calcurse has no location",
        },
    },
    "todoman": {
        "kind": "tasks",
        "fields": ["summary", "note", "due", "priority", "completed"],
        "cannot": {"category": "todoman 4.1's porcelain listing has no field for categories"},
    },
    "calcurse-todo": {
        # calcurse's import keeps the first 8,000 or so characters of a note.
        "note_limit": 8000,
        "kind": "tasks",
        "fields": ["summary", "note", "priority", "completed"],
        "cannot": {
            "due": "calcurse to-do items have no due date",
            "category": "calcurse has no categories",
        },
    },
    "khard": {
        "kind": "contacts",
        "fields": ["first", "last", "company", "title", "note", "category", "phones", "emails"],
        "cannot": {},
    },
}

failures = []


def short(value, limit=90):
    text = repr(value)
    return text if len(text) <= limit else f"{text[:limit]}... ({len(str(value))} characters)"


def fail(client, source, rec, field, expected, held):
    failures.append(f"FAIL {client}: {source}: record {rec}: {field}: expected {short(expected)}, held {short(held)}")


def run(cmd, env, check=True, stdin=None):
    p = subprocess.run(cmd, env=env, capture_output=True, text=True, input=stdin)
    if check and p.returncode != 0:
        raise RuntimeError(f"{' '.join(cmd)} exited {p.returncode}: {p.stderr.strip()}")
    return p


def lines(text):
    return text.replace("\r\n", "\n").replace("\r", "\n")


# ---------------------------------------------------------------- expected

def palm_datetime(text, zone):
    """'MM/DD/YYYY HH:MM:SS' as lazrine-cli lists it, in the zone it ran in."""
    return dt.datetime.strptime(text, "%m/%d/%Y %H:%M:%S").replace(tzinfo=zone)


def local_date(seconds, zone):
    return dt.datetime.fromtimestamp(seconds, zone).date()


def open_end(seconds, zone):
    if seconds in (0, 0xFFFFFFFF):
        return None
    d = local_date(seconds, zone)
    return None if d >= dt.date(2031, 12, 31) else d


def rule_dates(start, rule, zone):
    """The dates on which a repeat rule of the builder's manifest occurs."""
    kind, interval = rule["repeat"], max(rule["interval"], 1)
    raw = bytes(rule["values"])
    until = open_end(rule["end"], zone) or WINDOW[1]
    skip = {local_date(s, zone) for s in rule["exceptions"]}
    out = []
    day = start
    while day <= min(until, WINDOW[1]):
        months = (day.year - start.year) * 12 + day.month - start.month
        match = False
        if kind == 1:
            match = (day - start).days % interval == 0
        elif kind == 2:
            mask = raw[4]
            # Weeks counted from the Monday of the start's week.
            week = ((day - start).days + start.weekday()) // 7
            match = week % interval == 0 and mask & (1 << ((day.weekday() + 1) % 7))
        elif kind == 3:
            weekday, week = struct.unpack("<II", raw[:8])
            nth = (day.day - 1) // 7
            last = (day + dt.timedelta(days=7)).month != day.month
            match = (months % interval == 0 and (day.weekday() + 1) % 7 == weekday and
                     (nth == week if week < 4 else last))
        elif kind == 4:
            (mday,) = struct.unpack("<I", raw[:4])
            match = months % interval == 0 and day.day == mday
        elif kind == 5:
            match = (day.year - start.year) % interval == 0 and (day.month, day.day) == (start.month, start.day)
        elif kind == 6:
            match = ((day.year - start.year) % interval == 0 and day.month == start.month and
                     day.weekday() == start.weekday() and (day.day - 1) // 7 == min((start.day - 1) // 7, 4))
        if (match or day == start) and day not in skip:
            out.append(day)
        day += dt.timedelta(days=1)
    return out


def expected_events(listing, manifest, zone):
    out = {}
    for r in listing["records"]:
        f = r["fields"]
        start = palm_datetime(f["Start Date Time"], zone)
        end = palm_datetime(f["End Date Time"], zone)
        extra = manifest.get(str(r["id"]), {}) if manifest else {}
        allday = f["All Day Event"] == "Yes"
        dates = rule_dates(start.date(), extra, zone) if extra.get("repeat") else [start.date()]
        if allday:
            occ = sorted(d.isoformat() for d in dates)
        else:
            # Aware datetimes of one zone subtract as wall times: use timestamps.
            length = dt.timedelta(seconds=max(end.timestamp() - start.timestamp(), 0))
            occ = []
            for d in dates:
                s = dt.datetime.combine(d, start.timetz()).replace(tzinfo=zone)
                # A wall time that daylight saving skips is read as the one after.
                s = dt.datetime.fromtimestamp(s.timestamp(), zone)
                e = dt.datetime.fromtimestamp(s.timestamp() + length.total_seconds(), zone)
                occ.append(f"{s:%Y-%m-%d %H:%M}-{e:%Y-%m-%d %H:%M}")
            occ.sort()
        out[r["id"]] = {
            "summary": f["Description"],
            "note": lines(f["Note"]),
            "location": f["Location"],
            "allday": allday,
            "occurrences": occ,
            "alarm": f["Alarm"] == "Yes",
            "category": extra.get("category", f.get("Category", "")),
        }
        if out[r["id"]]["category"] == "Unfiled":
            out[r["id"]]["category"] = ""
    return out


def expected_tasks(listing, manifest):
    out = {}
    for r in listing["records"]:
        f = r["fields"]
        due = "" if f["DueDate"] == "N/A" else dt.datetime.strptime(f["DueDate"], "%m/%d/%Y").date().isoformat()
        extra = manifest.get(str(r["id"]), {}) if manifest else {}
        out[r["id"]] = {
            "summary": f["Subject"],
            "note": lines(f["Note"]),
            "due": due,
            # The iCalendar priority: Palm's five steps become 1, 3, 5, 7, 9;
            # a record without one gives its three-step form's 1, 5 or 9.
            "priority": (str(2 * int(f["Palm Priority"]) - 1) if f.get("Palm Priority")
                         else {"High": "1", "Low": "9"}.get(f["Priority"], "5")),
            "completed": f["Completed"] == "Yes",
            "category": extra.get("category", f.get("Category", "")),
        }
        if out[r["id"]]["category"] == "Unfiled":
            out[r["id"]]["category"] = ""
    return out


# Palm phone labels: 0 work, 1 home, 2 fax, 3 other, 4 e-mail, 5 main, 6 pager, 7 mobile.
LABEL_TYPE = {0: "WORK", 1: "HOME", 2: "FAX", 6: "PAGER", 7: "CELL"}
FIELD_LABEL = {"Work Phone": 0, "Home Phone": 1, "Fax": 2, "Other Phone": 3, "Main Phone": 5,
               "Pager": 6, "Mobile Phone": 7}
# The label names of the numbered phone slots, as list --json gives them.
SLOT_LABEL = {"Work": 0, "Home": 1, "Fax": 2, "Other": 3, "E-mail": 4, "E-Mail": 4, "Main": 5, "Pager": 6,
              "Mobile": 7}
# The further numbers and addresses a database holds, as list --json names them.
EXTRA_FIELD_LABEL = [("Assistant Phone", 3), ("Other Fax", 2), ("Other Mobile", 7), ("E-Mail", 4),
                     ("Work E-Mail", 4), ("E-Mail 1", 4), ("E-Mail 2", 4), ("E-Mail 3", 4)]


def expected_contacts(listing, manifest):
    out = {}
    for r in listing["records"]:
        f = r["fields"]
        extra = manifest.get(str(r["id"])) if manifest else None
        if extra is not None:
            slots = [(label, value) for label, value in extra["phones"]]
        else:
            # A database's columns: each number and address once, whichever
            # fields name it.
            slots, seen = [], set()
            named = list(FIELD_LABEL.items()) + EXTRA_FIELD_LABEL
            for n in range(1, 8):
                label = SLOT_LABEL.get(f.get(f"Phone {n} Label", ""), 3)
                named.append((f"Phone {n}", label))
            for name, label in named:
                if f.get(name) and f[name] not in seen:
                    seen.add(f[name])
                    slots.append((label, f[name]))
        out[r["id"]] = {
            "first": f["First Name"],
            "last": f["Last Name"],
            "company": f["Company"],
            "title": f["Title"],
            "note": lines(f["Note"]),
            # An uncategorised contact carries no category.
            "category": "" if f["Category"] == "Unfiled" else f["Category"],
            "phones": sorted((label, v) for label, v in slots if label != 4),
            "emails": sorted(v for label, v in slots if label == 4),
        }
    return out


# ---------------------------------------------------------------- exports

def split_components(text, name):
    """The header, the VTIMEZONE blocks and each `name` block of an export."""
    text = text.replace("\r\n", "\n")
    blocks, zones, head, current, depth = [], [], [], None, 0
    for line in text.split("\n"):
        if current is None:
            if line == f"BEGIN:{name}" or line == "BEGIN:VTIMEZONE":
                current, depth = [line], 1
            elif line and not line.startswith("END:VCALENDAR"):
                head.append(line)
            continue
        current.append(line)
        if line.startswith("BEGIN:"):
            depth += 1
        elif line.startswith("END:"):
            depth -= 1
            if depth == 0:
                (zones if current[0] == "BEGIN:VTIMEZONE" else blocks).append(current)
                current = None
    return head, zones, blocks


def uid_of(block):
    for line in block:
        if line.startswith("UID:"):
            return line[4:]
    return ""


def record_id(uid):
    m = re.search(r"-(\d+)-[0-9a-f]+$", uid)
    return int(m.group(1)) if m else None


# ---------------------------------------------------------------- clients

def khal_events(work, env, zone_name, ics_files):
    cfg = os.path.join(work, "khal-config")
    cal = os.path.join(work, "khal-calendar")
    os.makedirs(cal)
    with open(cfg, "w") as f:
        f.write(f"""[calendars]
[[interop]]
path = {cal}
type = calendar
[locale]
timeformat = %H:%M
dateformat = %Y-%m-%d
longdateformat = %Y-%m-%d
datetimeformat = %Y-%m-%d %H:%M
longdatetimeformat = %Y-%m-%d %H:%M
local_timezone = {zone_name}
default_timezone = {zone_name}
[default]
default_calendar = interop
""")
    rejected = {}
    for path in ics_files:
        p = run(["khal", "-c", cfg, "import", "--batch", "-a", "interop", path], env, check=False)
        msg = (p.stderr + p.stdout).strip()
        if p.returncode != 0 or re.search(r"error|warning|traceback|could not", msg, re.I):
            rejected[path] = msg.splitlines()[-1] if msg else f"exit {p.returncode}"
    fmt = "\x1e{uid}\x1f{start}\x1f{end}\x1f{title}\x1f{location}\x1f{alarm-symbol}\x1f{description}\x1d"
    p = run(["khal", "-c", cfg, "list", "--day-format", "", "--format", fmt,
             WINDOW[0].isoformat(), (WINDOW[1] + dt.timedelta(days=1)).isoformat()], env, check=False)
    held = {}
    for chunk in p.stdout.split("\x1e")[1:]:
        uid, start, end, title, location, alarm, desc = chunk.split("\x1d")[0].split("\x1f")
        e = held.setdefault(uid, {"summary": title, "note": desc, "location": location,
                                  "allday": len(start) == 10, "occurrences": [], "alarm": bool(alarm.strip())})
        e["occurrences"].append(start if len(start) == 10 else f"{start}-{end}")
    # khal lists every occurrence of a repeating event, and an occurrence
    # that spans several days once per day it is on: each counts once.
    for e in held.values():
        e["occurrences"] = sorted(set(e["occurrences"]))
    return rejected, held


def calcurse_items(work, env, path):
    """What calcurse holds after importing one file into an empty folder
    (calcurse keeps no UIDs, so each export gets its own)."""
    data = os.path.join(work, "calcurse-" + os.path.basename(path))
    os.makedirs(data)
    rejected = None
    p = run(["calcurse", "-D", data, "-C", data, "-i", path], env, check=False)
    msg = (p.stderr + p.stdout).strip()
    if p.returncode < 0:
        rejected = f"calcurse -i crashed (signal {-p.returncode})"
    elif p.returncode != 0 or re.search(r"[1-9]\d* skipped|could not|error|warning", msg, re.I):
        rejected = " ".join(msg.split())[-200:] or f"exit {p.returncode}"
        # calcurse writes why to a log file it names.
        log = re.search(r"See (\S+) for details", msg)
        if log and os.path.exists(log.group(1)):
            with open(log.group(1), encoding="utf-8", errors="replace") as f:
                why = [x.strip() for x in f if re.match(r"\s*V(EVENT|TODO) \[", x)]
            os.remove(log.group(1))
            rejected = "; ".join(why) or rejected
    apt = "\x1eapt\x1f%s\x1f%e\x1f%m\x1f%(raw)\x1f%N\x1d"
    ev = "\x1eevent\x1f\x1f\x1f%m\x1f%(raw)\x1f%N\x1d"
    todo = "\x1etodo\x1f%p\x1f\x1f%m\x1f%(raw)\x1f%N\x1d"
    p = run(["calcurse", "-D", data, "-C", data, "-Q", "--input-datefmt", "4",
             "--from", WINDOW[0].isoformat(), "--to", WINDOW[1].isoformat(),
             "--format-apt", apt, "--format-recur-apt", apt, "--format-event", ev,
             "--format-recur-event", ev, "--format-todo", todo], env, check=False)
    cal, todos = [], []
    day = None
    for chunk in p.stdout.split("\x1e"):
        body, _, rest = chunk.partition("\x1d")
        if body.startswith(("apt\x1f", "event\x1f", "todo\x1f")):
            kind, a, b, title, raw, note = body.split("\x1f")
            # -Q indents each line of a note by a tab and ends it with a blank line.
            note = "" if note.strip() == "No note file found" else \
                "\n".join(x[1:] if x.startswith("\t") else x for x in note.rstrip("\n").split("\n"))
            # The import appends "-- " and what it kept of properties it has no
            # field for (location, unknown TZID): that is calcurse's, not the note's.
            note = re.sub(r"(^|\n)-- \n(Location|Import): .*\Z", "", note, flags=re.S)
            raw = raw.rstrip("\n")
            item = {"title": title, "note": note, "raw": raw, "a": a, "b": b, "day": day}
            (todos if kind == "todo" else cal).append((kind, item))
        for m in re.finditer(r"(\d\d)/(\d\d)/(\d\d):", rest if body.startswith(("apt", "event", "todo")) else chunk):
            day = dt.date(2000 + int(m.group(3)), int(m.group(1)), int(m.group(2))).isoformat()
    return rejected, cal, todos


def todoman_tasks(work, env, exports):
    root = os.path.join(work, "todoman")
    for path in exports:
        # One list per export, named after it: summaries repeat across files.
        lst = os.path.join(root, os.path.basename(path))
        os.makedirs(lst)
        head, zones, blocks = split_components(open(path, encoding="utf-8").read(), "VTODO")
        for block in blocks:
            name = re.sub(r"[^A-Za-z0-9_.-]", "_", uid_of(block)) + ".ics"
            with open(os.path.join(lst, name), "w", encoding="utf-8", newline="\r\n") as f:
                f.write("\n".join(head + sum(zones, []) + block + ["END:VCALENDAR", ""]))
    cfgdir = os.path.join(env["XDG_CONFIG_HOME"], "todoman")
    os.makedirs(cfgdir, exist_ok=True)
    with open(os.path.join(cfgdir, "config.py"), "w") as f:
        f.write(f'path = "{root}/*"\ndate_format = "%Y-%m-%d"\ntime_format = "%H:%M"\n'
                f'default_list = "{os.path.basename(exports[0])}"\ncache_path = "{work}/todoman-cache.sqlite3"\n')
    p = run(["todoman", "--porcelain", "list", "--status", "ANY", "--sort", "id"], env, check=False)
    if p.returncode != 0:
        return {path: " ".join(p.stderr.split())[-300:] for path in exports}, []
    items = json.loads(p.stdout or "[]")
    # todoman leaves out a file it cannot read without a word: count them.
    rejected = {}
    for path in exports:
        lst = os.path.basename(path)
        written = len(os.listdir(os.path.join(root, lst)))
        held = sum(1 for t in items if t.get("list") == lst)
        if held < written:
            rejected[path] = f"{written - held} of {written} files not read"
    return rejected, items


def khard_contacts(work, env, exports):
    book = os.path.join(work, "khard-book")
    os.makedirs(book)
    for n, path in enumerate(exports):
        text = open(path, encoding="utf-8").read().replace("\r\n", "\n")
        for k, card in enumerate(re.findall(r"BEGIN:VCARD\n.*?END:VCARD\n", text, re.S)):
            # Named after the card's UID, as a CardDAV client would store it.
            uid = re.search(r"^UID:(.*)$", card, re.M)
            name = re.sub(r"[^A-Za-z0-9_.-]", "_", uid.group(1) if uid else f"{n}-{k}") + ".vcf"
            with open(os.path.join(book, name), "w", encoding="utf-8", newline="\r\n") as f:
                f.write(card)
    cfgdir = os.path.join(env["XDG_CONFIG_HOME"], "khard")
    os.makedirs(cfgdir, exist_ok=True)
    with open(os.path.join(cfgdir, "khard.conf"), "w") as f:
        f.write(f"[addressbooks]\n[[interop]]\npath = {book}\n[general]\ndefault_action = list\n"
                "editor = /bin/false\nmerge_editor = /bin/false\n[vcard]\npreferred_version = 3.0\n")
    fields = "uid,first_name,last_name,organisations,titles,notes,categories,phone_numbers,emails"
    p = run(["khard", "list", "--parsable", "--fields", fields], env, check=False)
    if p.returncode != 0:
        return {"khard": " ".join(p.stderr.split())[-300:]}, {}
    held = {}
    for line in p.stdout.splitlines():
        cols = line.split("\t")
        if len(cols) != 9:
            continue
        val = [ast.literal_eval(c) if c.startswith(("[", "{")) else c for c in cols]
        held[val[0]] = {
            "first": val[1], "last": val[2],
            "company": "; ".join(" ".join(o) if isinstance(o, list) else o for o in (val[3] or [])),
            "title": "; ".join(val[4] or []) if isinstance(val[4], list) else val[4],
            "note": "\n".join(val[5] or []) if isinstance(val[5], list) else val[5],
            "category": ",".join(sum(([c] if isinstance(c, str) else c for c in (val[6] or [])), [])),
            "phones": sorted((t, n) for t, ns in (val[7] or {}).items() for n in ns),
            "emails": sorted(n for ns in (val[8] or {}).values() for n in ns),
        }
    return {}, held


# ---------------------------------------------------------------- comparing

def compare(client, source, expected, held_by_id, rejected):
    fields = CAPABILITIES[client]["fields"]
    if source in rejected:
        fail(client, source, "-", "import", "accepted", rejected[source])
    for rid, exp in sorted(expected.items()):
        held = held_by_id.get(rid)
        if held is None:
            fail(client, source, rid, "record", "present", "missing")
            continue
        for field in fields:
            if field not in held:
                continue
            e, h = exp[field], held[field]
            limit = CAPABILITIES[client].get("note_limit")
            if field == "note" and limit:
                e, h = e[:limit], h[:limit]
            if field == "note" and CAPABILITIES[client].get("note_strip"):
                e, h = e.rstrip(), h.rstrip()
            if field == "phones":
                check_phones(client, source, rid, e, h)
            elif field == "occurrences":
                missing = [o for o in e if o not in h]
                extra = [o for o in h if o not in e]
                if missing or extra:
                    fail(client, source, rid, "occurrences",
                         f"{len(e)} (not held: {missing[:4]}{'...' if len(missing) > 4 else ''})",
                         f"{len(h)} (not expected: {extra[:4]}{'...' if len(extra) > 4 else ''})")
            elif e != h:
                fail(client, source, rid, field, e, h)


def check_phones(client, source, rid, expected, held):
    numbers = [n for _, n in held]
    for label, number in expected:
        matches = [t for t, n in held if n == number]
        if not matches:
            fail(client, source, rid, f"phone (Palm label {label})", number, "missing")
            continue
        want = LABEL_TYPE.get(label)
        if want and not any(want in t.upper() for t in matches):
            fail(client, source, rid, f"phone type of {number}", want, matches)
    for number in numbers:
        if number not in [n for _, n in expected]:
            fail(client, source, rid, "phone", "absent", number)


def uid_map(path, kind):
    """UID -> record id, for the items of one export."""
    text = open(path, encoding="utf-8").read()
    return {u: record_id(u) for u in re.findall(r"^UID:(.*?)\r?$", text, re.M)}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", required=True)
    ap.add_argument("--maker", required=True)
    ap.add_argument("--mdb", required=True)
    ap.add_argument("--zone", action="append")
    ap.add_argument("--keep", action="store_true", help="keep the temporary folder")
    args = ap.parse_args()
    zones = args.zone or ["Europe/Berlin", "America/New_York"]
    top = tempfile.mkdtemp(prefix="lazrine-interop-")
    try:
        data = os.path.join(top, "data")
        subprocess.run([args.maker, data], check=True, capture_output=True)
        manifests = {g: json.load(open(os.path.join(data, f"manifest-{g}.json"))) for g in ("classic", "extended")}
        sources = {
            "calendar": [(os.path.join(data, f"datebook-{g}.dat"), manifests[g]["dates"]) for g in manifests] +
                        [(os.path.join(args.mdb, "DateBook.mdb"), None)],
            "tasks": [(os.path.join(data, f"todo-{g}.dat"), manifests[g]["todos"]) for g in manifests] +
                     [(os.path.join(args.mdb, "Todolist.mdb"), None)],
            "contacts": [(os.path.join(data, f"address-{g}.dat"), manifests[g]["contacts"]) for g in manifests] +
                        [(os.path.join(args.mdb, "Address.mdb"), None)],
        }
        for n, zone_name in enumerate(zones):
            zone = zoneinfo.ZoneInfo(zone_name)
            work = os.path.join(top, zone_name.replace("/", "-"))
            home = os.path.join(work, "home")
            env = {"PATH": os.environ["PATH"], "HOME": home, "TZ": zone_name, "LANG": "C.UTF-8",
                   "LC_ALL": "C.UTF-8", "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                   "XDG_DATA_HOME": os.path.join(home, ".local/share"),
                   "XDG_CACHE_HOME": os.path.join(home, ".cache"), "TERM": "dumb"}
            for d in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"):
                os.makedirs(env[d])
            exports, expected, uids = {}, {}, {}
            for kind, items in sources.items():
                if kind == "contacts" and n > 0:
                    continue  # contacts hold no times: one zone is enough
                fmt = "vcard" if kind == "contacts" else "ics"
                for path, manifest in items:
                    out = os.path.join(work, f"{os.path.basename(path)}.{fmt}")
                    run([args.cli, "export", kind, path, "--all", "--format", fmt, "--output", out], env)
                    listing = json.loads(run([args.cli, "list", kind, path, "--json", "--all"], env).stdout)
                    exports.setdefault(kind, []).append(out)
                    expected[out] = (os.path.basename(path), {"calendar": lambda: expected_events(listing, manifest, zone),
                                            "tasks": lambda: expected_tasks(listing, manifest),
                                            "contacts": lambda: expected_contacts(listing, manifest)}[kind]())
                    uids[out] = uid_map(out, kind)

            def by_id(out, held_by_uid):
                return {rid: held_by_uid[u] for u, rid in uids[out].items() if u in held_by_uid}

            label = f" (TZ={zone_name})"
            rejected, held = khal_events(work, env, zone_name, exports["calendar"])
            for out in exports["calendar"]:
                compare("khal", expected[out][0] + label, expected[out][1], by_id(out, held),
                        {expected[out][0] + label: rejected[out]} if out in rejected else {})

            for out in exports["calendar"] + exports["tasks"]:
                src = expected[out][0] + label
                rejected, cal, todo = calcurse_items(work, env, out)
                if out in exports["calendar"]:
                    client, held = "calcurse-cal", calcurse_events(cal, zone)
                else:
                    client, held = "calcurse-todo", {}
                    for _, t in todo:
                        # The raw form starts with "[priority]", negative when completed.
                        m = re.match(r"\[(-?)(\d+)\]", t["raw"])
                        held.setdefault(t["title"], {
                            "summary": t["title"], "note": t["note"],
                            "priority": m.group(2) if m else "",
                            "completed": bool(m and m.group(1))})
                # calcurse keeps no UID: its items are found by their title.
                compare(client, src, expected[out][1],
                        {rid: held[exp["summary"]] for rid, exp in expected[out][1].items() if exp["summary"] in held},
                        {src: rejected} if rejected else {})

            rejected, items = todoman_tasks(work, env, exports["tasks"])
            for out in exports["tasks"]:
                src = expected[out][0] + label
                # todoman's listing shows no UID: items are found by list and summary.
                by_summary = {t.get("summary", ""): t for t in items if t.get("list") == os.path.basename(out)}
                got = {rid: todoman_fields(by_summary[exp["summary"]], zone_name)
                       for rid, exp in expected[out][1].items() if exp["summary"] in by_summary}
                compare("todoman", src, expected[out][1], got,
                        {src: rejected[out]} if out in rejected else {})

            if n == 0:
                rejected, held = khard_contacts(work, env, exports["contacts"])
                for out in exports["contacts"]:
                    compare("khard", expected[out][0], expected[out][1], by_id(out, held),
                            {expected[out][0]: rejected["khard"]} if rejected else {})
    finally:
        if args.keep:
            print(f"kept {top}")
        else:
            shutil.rmtree(top, ignore_errors=True)

    print("client capabilities: fields left out per client")
    for client, cap in CAPABILITIES.items():
        for field, why in cap["cannot"].items():
            print(f"  {client}: {field}: {why}")
        if cap.get("note_limit"):
            print(f"  {client}: note: compared on its first {cap['note_limit']} characters, all the import keeps")
    for line in failures:
        print(line)
    if failures:
        print(f"interop: {len(failures)} difference(s)")
        return 1
    print("interop: every client holds every record as the source has it")
    return 0


def calcurse_events(cal, zone):
    """Appointments and events by title, with their occurrences."""
    held = {}
    for kind, item in cal:
        e = held.setdefault(item["title"], {"summary": item["title"], "note": item["note"],
                                            "allday": kind == "event", "occurrences": [], "alarm": False})
        if kind == "apt":
            s = dt.datetime.fromtimestamp(int(item["a"]), zone)
            en = dt.datetime.fromtimestamp(int(item["b"]), zone)
            occ = f"{s:%Y-%m-%d %H:%M}-{en:%Y-%m-%d %H:%M}"
            # The raw form ends with "!title" for an appointment with an alarm, "|title" without.
            e["alarm"] = e["alarm"] or item["raw"].endswith("!" + item["title"])
        else:
            occ = item["day"]
        if occ not in e["occurrences"]:
            e["occurrences"].append(occ)
    for e in held.values():
        e["occurrences"].sort()
    return held


def todoman_fields(t, zone_name):
    due = t.get("due")
    if isinstance(due, (int, float)):
        # A due date is held as the instant of its local midnight.
        due = dt.datetime.fromtimestamp(due, zoneinfo.ZoneInfo(zone_name)).date().isoformat()
    return {
        "summary": t.get("summary", ""),
        "note": t.get("description", "") or "",
        "due": due or "",
        "priority": str(t.get("priority") or 0),
        "completed": bool(t.get("completed")),
    }


if __name__ == "__main__":
    sys.exit(main())
