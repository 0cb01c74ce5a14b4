"""mirokata-cal ical against Python's icalendar and dateutil.

1. The export of the fixture folder, parsed by icalendar and expanded by
   dateutil.rrule, gives the same (day, minute, entry) set as
   `mirokata-cal agenda` over the same range.
2. A phone-style .ics written with icalendar imports (refusing what no
   entry can hold), and the export of the imported folder has the same
   days as the original events.

usage: ical_interop.py MIROKATA_CAL FIXTURE_DATA_FOLDER
"""
import datetime as dt
import os
import subprocess
import sys
import tempfile

from dateutil.rrule import rruleset, rrulestr
from icalendar import Alarm, Calendar, Event, Timezone, TimezoneStandard
import pytz

CAL, FIXTURE = sys.argv[1], sys.argv[2]
ENV = dict(os.environ, TZ="Asia/Tokyo")
TOKYO = pytz.timezone("Asia/Tokyo")
failures = []


def check(cond, message):
    if not cond:
        failures.append(message)


def run(home, *args):
    return subprocess.run([CAL, "--home", home, *args], env=ENV,
                          capture_output=True, timeout=600)


def to_naive(value):
    if isinstance(value, dt.datetime):
        if value.tzinfo is not None:
            value = value.astimezone(TOKYO)
        return value.replace(tzinfo=None), True
    return dt.datetime(value.year, value.month, value.day), False


def occurrences(event, first, last):
    """(date, "-" or hhnn) of the event from first to last (dates)."""
    start, timed = to_naive(event["DTSTART"].dt)
    rules = rruleset()
    if "RRULE" in event:
        rules.rrule(rrulestr(event["RRULE"].to_ical().decode(),
                             dtstart=start))
    else:
        rules.rdate(start)
    rdates = event.get("RDATE", [])
    if not isinstance(rdates, list):
        rdates = [rdates]
    for group in rdates:
        for when in group.dts:
            rules.rdate(to_naive(when.dt)[0])
    result = set()
    lo = dt.datetime.combine(first, dt.time())
    hi = dt.datetime.combine(last, dt.time(23, 59, 59))
    for when in rules.between(lo, hi, inc=True):
        result.add((when.date().isoformat(),
                    when.strftime("%H%M") if timed else "-"))
    return result


def export(home, data, first, last):
    out = run(home, "ical", "--data", data, first.isoformat(),
              last.isoformat())
    check(out.returncode == 0, "export failed: %r" % out.stderr)
    for line in out.stdout.split(b"\r\n"):
        check(len(line) <= 75, "line longer than 75 octets: %r" % line)
    check(b"\n" not in out.stdout.replace(b"\r\n", b""), "bare LF in output")
    return Calendar.from_ical(out.stdout), out.stderr.decode()


def fixture_matches_agenda(home):
    first, last = dt.date(2022, 9, 1), dt.date(2023, 1, 31)
    cal, err = export(home, FIXTURE, first, last)
    left_out = {line.split(": ")[1] for line in err.splitlines()
                if line.startswith("left out: ")}
    check(left_out == {"0900__ab.TUE", "BORN0225.abcd", "BORN0229.1981",
                       "_x~~~___.TUE"},
          "left out: %r" % left_out)
    got = set()
    for event in cal.walk("VEVENT"):
        name = str(event["UID"]).rsplit("-", 1)[0]
        for day, minute in occurrences(event, first, last):
            got.add((day, minute, name))
    agenda = run(home, "agenda", "--data", FIXTURE, first.isoformat(),
                 last.isoformat())
    check(agenda.returncode == 0, "agenda failed")
    want = set()
    for line in agenda.stdout.decode().splitlines():
        day, minute, name = line.split("\t")
        if name not in left_out:
            want.add((day, minute, name))
    check(len(want) > 100, "agenda too small: %d" % len(want))
    check(got == want, "export vs agenda: missing %r, extra %r" %
          (sorted(want - got)[:10], sorted(got - want)[:10]))


def phone_calendar():
    cal = Calendar()
    cal.add("prodid", "-//Phone//Calendar Export 1.0//EN")
    cal.add("version", "2.0")
    zone = Timezone()
    zone.add("tzid", "Asia/Tokyo")
    std = TimezoneStandard()
    std.add("dtstart", dt.datetime(1970, 1, 1))
    std.add("tzoffsetfrom", dt.timedelta(hours=9))
    std.add("tzoffsetto", dt.timedelta(hours=9))
    std.add("tzname", "JST")
    zone.add_component(std)
    cal.add_component(zone)
    stamp = dt.datetime(2022, 12, 1, tzinfo=pytz.utc)

    def event(summary, start, rrule=None, alarm=False, end=None, text=None):
        e = Event()
        e.add("uid", "%s@phone.example" % abs(hash(summary)))
        e.add("dtstamp", stamp)
        e.add("summary", summary)
        e.add("dtstart", start)
        if end is not None:
            e.add("dtend", end)
        if rrule:
            e.add("rrule", rrule)
        if text:
            e.add("description", text)
        if alarm:
            a = Alarm()
            a.add("action", "DISPLAY")
            a.add("description", "Reminder")
            a.add("trigger", dt.timedelta(minutes=-15))
            e.add_component(a)
        cal.add_component(e)

    tokyo = lambda *a: TOKYO.localize(dt.datetime(*a))
    event("バレンタイン", dt.date(2023, 2, 14), end=dt.date(2023, 2, 15),
          text="チョコ, 二箱; 忘れずに\n夕方まで")
    event("歯医者", tokyo(2023, 3, 1, 10, 30), alarm=True)
    event("母の誕生日", dt.date(1960, 2, 25), {"freq": "yearly"})
    event("家賃", dt.date(2023, 1, 10), {"freq": "monthly", "bymonthday": 10})
    event("英会話", tokyo(2023, 1, 4, 19, 0), {"freq": "weekly", "byday": "WE"},
          alarm=True)
    event("資源ごみ", dt.date(2023, 1, 10),
          {"freq": "monthly", "byday": ["2TU", "4TU"]})
    event("月末の締め", tokyo(2023, 1, 27, 18, 0),
          {"freq": "monthly", "byday": "-1FR"}, alarm=True)
    event("薬", tokyo(2023, 1, 1, 7, 0), {"freq": "daily"}, alarm=True)
    event("電話会議", dt.datetime(2023, 3, 5, 1, 0, tzinfo=pytz.utc),
          alarm=True)
    refused = ["ジム", "講座", "旅行"]
    event("ジム", dt.date(2023, 1, 2),
          {"freq": "weekly", "byday": ["MO", "WE", "FR"]})
    event("講座", dt.date(2023, 1, 5), {"freq": "weekly", "count": 5})
    event("旅行", dt.date(2023, 3, 10), end=dt.date(2023, 3, 13))
    return cal, refused


def phone_export_imports(home):
    cal, refused = phone_calendar()
    with tempfile.TemporaryDirectory() as work:
        ics = os.path.join(work, "phone.ics")
        with open(ics, "wb") as f:
            f.write(cal.to_ical())
        data = os.path.join(work, "data")
        os.mkdir(data)
        dry = run(home, "ical", "--import", ics, "--data", data, "--dry-run")
        check(dry.returncode == 1, "dry run status %d" % dry.returncode)
        check(os.listdir(data) == [], "dry run wrote %r" % os.listdir(data))
        done = run(home, "ical", "--import", ics, "--data", data)
        check(done.returncode == 1, "import status %d: %r" %
              (done.returncode, done.stderr))
        err = done.stderr.decode()
        for summary in refused:
            check(("skipped: " + summary + ":") in err,
                  "%s not reported: %r" % (summary, err))
        check(err.count("skipped: ") == len(refused), "skips: %r" % err)
        check(len(os.listdir(data)) == 9, "files: %r" % os.listdir(data))
        again = run(home, "ical", "--import", ics, "--data", data)
        check(again.returncode == 1 and
              again.stderr.decode().count("exists already") == 9,
              "second import: %r" % again.stderr)

        first, last = dt.date(2023, 1, 1), dt.date(2023, 12, 31)
        exported, _ = export(home, data, first, last)
        by_summary = {}
        for e in exported.walk("VEVENT"):
            by_summary[str(e["SUMMARY"])] = occurrences(e, first, last)
            check("VALARM" not in str(e.to_ical()) or
                  e.walk("VALARM"), "alarm")
        for e in cal.walk("VEVENT"):
            summary = str(e["SUMMARY"])
            if summary in refused:
                continue
            want = occurrences(e, first, last)
            check(summary in by_summary, "%s not exported" % summary)
            check(by_summary.get(summary) == want,
                  "%s: %r != %r" % (summary,
                                    sorted(by_summary.get(summary, ()))[:5],
                                    sorted(want)[:5]))


def exit_statuses(home):
    with tempfile.TemporaryDirectory() as work:
        data = os.path.join(work, "data")
        os.mkdir(data)
        good = os.path.join(work, "good.ics")
        with open(good, "wb") as f:
            f.write(b"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\n"
                    b"UID:1\r\nDTSTART;VALUE=DATE:20230214\r\nSUMMARY:x\r\n"
                    b"END:VEVENT\r\nEND:VCALENDAR\r\n")
        bad = os.path.join(work, "bad.ics")
        with open(bad, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + bytes(range(256)))
        ok = run(home, "ical", "--import", good, "--data", data)
        check(ok.returncode == 0 and ok.stdout == b"____0214.23\n",
              "good import: %r %r" % (ok.returncode, ok.stdout))
        for args in (["--import", bad], ["--import", os.path.join(work, "no")],
                     ["--import"], ["2023-01-01"], ["--dry-run"]):
            r = run(home, "ical", "--data", data, *args)
            check(r.returncode == 2 and r.stderr.startswith(b"mirokata-cal"),
                  "%r: %r %r" % (args, r.returncode, r.stderr))
        check(os.listdir(data) == ["____0214.23"], "bad input wrote")


with tempfile.TemporaryDirectory() as home:
    fixture_matches_agenda(home)
    phone_export_imports(home)
    exit_statuses(home)

for message in failures:
    print("FAIL:", message)
sys.exit(1 if failures else 0)
