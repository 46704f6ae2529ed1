#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The web page in headless Chromium, driven by Selenium, against the
native programs: each command line's answer table holds the program's text
output, its CSV link the program's CSV (to 1e-13), from disk and from a
server; edits follow into the fragment and back; bad input shows the
program's message, bad links the page's; a million rows keep the page
usable; the chart marks the answer; size; timings reported, not asserted;
a screenshot of each panel.

usage: web_test.py PAGE_DIR PROGRAMS_DIR
"""
import functools
import http.server
import math
import os
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

PAGE, PROGRAMS = sys.argv[1], sys.argv[2]
ITU = "0.001%,0.005%,0.01%,0.05%,0.1%..0.9%..0.1%,1%,2%,3%,5%,10%,20%,40%"

# Command lines, as (program, [(option, value or None)]).
CASES = [
    ("erlangb-table", [("load", "10"), ("blocking", "1%")]),
    ("erlangb-table", [("circuits", "24"), ("load", "34.2")]),
    ("erlangb-table", [("circuits", "10"), ("blocking", "1%")]),
    ("erlangb-table", [("circuits", "1..12"), ("blocking", "0.1%,1%,5%")]),
    ("erlangb-table", [("calls", "40..80..10"), ("holding", "120"), ("interval", "900"),
                       ("blocking", "1%")]),
    ("erlangb-table", [("load", "10,17.5"), ("blocking", "1%"), ("fractional", None)]),
    ("erlangb-table", [("load", "6"), ("blocking", "1%"), ("sources", "30")]),
    ("erlangb-table", [("circuits", "12"), ("blocking", "1%"), ("per-source", "0.2")]),
    ("erlangb-table", [("circuits", "20"), ("load", "15"), ("recall", "60%")]),
    ("erlangb-table", [("circuits", "10..20"), ("load", "15"), ("held", None)]),
    ("erlangb-overflow", [("group", "10:8,20:25")]),
    ("erlangb-overflow", [("group", "10:8,20:25"), ("circuits", "5,10,15")]),
    ("erlangb-overflow", [("mean", "7.97"), ("peakedness", "2.31"), ("blocking", "1%"),
                          ("method", "hayward")]),
    ("erlangb-overflow", [("mean", "7.97"), ("variance", "18.385"), ("blocking", "1%"),
                          ("method", "rapp"), ("fractional", None)]),
    ("erlangb-overflow", [("group", "10:8"), ("poisson", "3"), ("circuits", "12")]),
    ("erlangc", [("calls", "100"), ("interval", "1800"), ("holding", "180"),
                 ("service-level", "80%"), ("answer-time", "20")]),
    ("erlangc", [("load", "10"), ("agents", "11..16"), ("holding", "180"), ("answer-time", "20")]),
    ("erlangc", [("load", "50..500..50"), ("wait-probability", "20%"), ("fractional", None)]),
    ("erlangc", [("load", "10"), ("holding", "180"), ("service-level", "80%"),
                 ("answer-time", "20"), ("asa", "15"), ("max-occupancy", "85%"),
                 ("shrinkage", "30%")]),
    ("erlangc", [("load", "10"), ("holding", "180"), ("patience", "120"),
                 ("service-level", "80%"), ("answer-time", "20")]),
    ("erlangc", [("agents", "30"), ("wait-probability", "15%")]),
    ("erlangc", [("load", "30"), ("holding", "180"), ("patience", "120"), ("lines", "40"),
                 ("redial", "30%"), ("service-level", "80%"), ("answer-time", "20"),
                 ("service-level-of", "virtual")]),
    ("erlangc", [("load", "10"), ("agents", "12"), ("holding", "180"), ("lines", "16"),
                 ("abandoned", "5%"), ("mean-wait-of", "all")]),
]
# Command lines the programs refuse, with the message the page shows.
REFUSED = [
    ("erlangb-table", [("load", "abc"), ("blocking", "1%")], "--load 'abc': 'abc' is no number"),
    ("erlangb-table", [("load", "10")], "give two of --circuits, --load (or --calls) and --blocking"),
    ("erlangb-overflow", [("mean", "7"), ("variance", "3"), ("blocking", "1%")], None),
    ("erlangc", [("load", "10"), ("service-level", "80%")], "--service-level needs --answer-time"),
]
# Links the page refuses itself, with the words its alert must hold and the
# panel it opens.
BAD_LINKS = [
    ("erlangc?lo=10&ag=12", "'lo', 'ag', which are no field of erlangc", "erlangc"),
    ("erlangc?load=10&help", "'help', which is no field", "erlangc"),
    ("erlangb-table?circuits=10&load=5&csv", "'csv', which is no field", "erlangb-table"),
    ("erlangc?load=%E0%A4%A", "The link is damaged: 'load=%E0%A4%A'", "erlangb-table"),
    ("nonesuch?load=1", "no program of this page: 'nonesuch'", "erlangb-table"),
]
# Page answers equal to the native program's for arguments only a hand-written
# link gives: a "+" that is a plus, a line break inside one value.
LINK_ARGUMENTS = [
    ("erlangb-table?load=1e+3&blocking=1%25", "erlangb-table", ["--load=1e+3", "--blocking=1%"]),
    ("erlangc?load=10%0A--agents%3D5&service-level=80%25&answer-time=20", "erlangc",
     ["--load=10\n--agents=5", "--service-level=80%", "--answer-time=20"]),
]


def fragment(program, pairs):
    """The page's fragment for a command line."""
    quote = functools.partial(urllib.parse.quote, safe="")
    return program + ("?" if pairs else "") + "&".join(
        quote(n) if v is None else quote(n) + "=" + quote(v) for n, v in pairs)


def native(program, pairs, *more):
    """What the native program writes, its messages, and its status."""
    args = [f"--{n}" if v is None else f"--{n}={v}" for n, v in pairs] + list(more)
    return run_native(program, args)


def run_native(program, args):
    r = subprocess.run([os.path.join(PROGRAMS, program)] + args, capture_output=True, text=True)
    return r.stdout, r.stderr, r.returncode


def table_of(text):
    """The text output as the page must show it: caption lines, headings, rows."""
    lines = [line for line in text.split("\n") if line]
    marked = [line for line in lines if line.startswith("#")]
    rows = [line.split() for line in lines if not line.startswith("#")]
    if not rows:
        return [m[2:] if m.startswith("# ") else m[1:] for m in marked], [], []
    caption = [m[2:] if m.startswith("# ") else m[1:] for m in marked[:-1]]
    headings = [h for h in marked[-1][1:].strip().split("  ") if h.strip()]
    return caption, [h.strip() for h in headings], rows


def same_csv(got, want, differing=None):
    """The same lines and fields, numbers within 1e-13 (the WebAssembly
    build's C library rounds exp, log and lgamma differently in the last
    bits, and its long double has more of them); `differing` counts the
    fields that are not the same bytes."""
    got_lines, want_lines = got.strip("\n").split("\n"), want.strip("\n").split("\n")
    if len(got_lines) != len(want_lines):
        return False
    for g, w in zip(got_lines, want_lines):
        gf, wf = g.split(","), w.split(",")
        if len(gf) != len(wf):
            return False
        for a, b in zip(gf, wf):
            if a == b:
                continue
            if differing is not None:
                differing[0] += 1
            try:
                if not math.isclose(float(a), float(b), rel_tol=1e-13):
                    return False
            except ValueError:
                return False
    return True


def browser():
    options = Options()
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--window-size=1200,1600",
                 "--user-data-dir=" + tempfile.mkdtemp()):
        options.add_argument(flag)
    options.binary_location = "/usr/bin/chromium"
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def serve(folder):
    """A static server of `folder` on 127.0.0.1: its base URL."""
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_port}/index.html"


class Page:
    def __init__(self, driver, base):
        self.driver, self.base = driver, base

    def open(self, frag, wait=30):
        """Opens the page at a fragment and waits until it shows its answer."""
        self.driver.get(self.base + "#" + frag)
        self.wait_shown("#" + frag, wait)

    def wait_shown(self, hash_, wait=30):
        WebDriverWait(self.driver, wait).until(
            lambda d: d.execute_script("return document.body.dataset.shown") == hash_)

    def table(self):
        found = self.driver.find_elements(By.ID, "answer")
        if not found:
            return None
        t = found[0]
        caption = self.driver.execute_script(
            "return [...arguments[0].caption.childNodes].filter(n => n.nodeType === 3)"
            ".map(n => n.textContent)", t)
        headings = [th.text for th in t.find_elements(By.TAG_NAME, "th")]
        rows = [[td.get_attribute("textContent") for td in tr.find_elements(By.TAG_NAME, "td")]
                for tr in t.find_elements(By.CSS_SELECTOR, "tbody tr")]
        return caption, headings, rows

    def csv(self):
        """The CSV link's text, or None where no link is shown."""
        link = self.driver.find_element(By.ID, "csv")
        if not link.is_displayed():
            return None
        return self.driver.execute_async_script(
            "fetch(arguments[0].href).then(r => r.text()).then(arguments[1])", link)

    def shown_panel(self):
        return self.driver.execute_script(
            "return [...document.querySelectorAll('section[role=tabpanel]')]"
            ".filter(s => !s.hidden).map(s => s.id)")

    def alert(self):
        shown = [a for a in self.driver.find_elements(By.CSS_SELECTOR, '[role="alert"]')
                 if a.is_displayed()]
        return shown[0].text if shown else None


failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what)


def answers(page, where):
    """Every case's table and CSV against the native program's output."""
    for program, pairs in CASES:
        frag = fragment(program, pairs)
        page.open(frag)
        text, _, status = native(program, pairs)
        csv, _, _ = native(program, pairs, "--csv")
        check(status == 0 and page.table() == table_of(text), f"{where} table of {frag}")
        check(same_csv(page.csv(), csv), f"{where} CSV of {frag}")
        check(page.alert() is None, f"{where} no alert for {frag}")


def refusals(page):
    for program, pairs, says in REFUSED:
        frag = fragment(program, pairs)
        page.open(frag)
        _, err, status = native(program, pairs)
        message = err.split("\n")[0].split(": ", 1)[1]
        check(status == 2 and page.alert() == message, f"alert '{page.alert()}' for {frag}")
        check(says is None or message == says, f"the message of {frag}: {message}")
        check(page.table() is None, f"no answer beside the alert of {frag}")
        check(page.csv() is None, f"no CSV link beside the alert of {frag}")
        body = page.driver.find_element(By.TAG_NAME, "body").text
        check(not any(w in body for w in ("NaN", "Infinity", "undefined")), f"{frag} shows no NaN")


def bad_links(page):
    """The page's own refusals, by name, in the panel the link opens; links
    whose values only a hand-written link gives, as the programs take them."""
    for frag, says, panel in BAD_LINKS:
        page.open(frag)
        alert = page.alert() or ""
        check(says in alert, f"alert '{alert}' for {frag}")
        check(page.shown_panel() == [panel], f"{frag} opens {panel}: {page.shown_panel()}")
        check(page.table() is None and page.csv() is None, f"no answer for {frag}")
    for frag, program, args in LINK_ARGUMENTS:
        page.open(frag)
        out, err, status = run_native(program, args)
        if status == 0:
            check(page.table() == table_of(out), f"the answer to {frag}")
        else:
            check(page.alert() == err.split("\n")[0].split(": ", 1)[1],
                  f"alert '{page.alert()}' for {frag}")


def typing(page):
    """Fields follow into the fragment; Back and Forward step through edits."""
    driver = page.driver
    page.open(fragment("erlangc", [("load", "10"), ("holding", "180"),
                                    ("service-level", "80%"), ("answer-time", "20")]))
    field = driver.find_element(By.ID, "erlangc-load")
    field.send_keys(Keys.END, "0")
    field.send_keys(Keys.TAB)
    check(driver.execute_script("return location.hash").startswith("#erlangc?load=100&"),
          "typing updates the fragment")
    typed = [("load", "100"), ("holding", "180"), ("service-level", "80%"), ("answer-time", "20")]
    check(page.table() == table_of(native("erlangc", typed)[0]), "the answer follows the typing")
    field.send_keys(Keys.BACKSPACE * 3, "abc")
    check(page.alert() == "--load 'abc': 'abc' is no number", "the alert follows the typing")
    check(field.get_attribute("aria-invalid") == "true", "the bad field is marked")
    check(page.table() is None, "no stale answer beside a bad input")
    check(page.csv() is None, "no stale CSV link beside a bad input")
    field.send_keys(Keys.TAB)
    answers = int(driver.execute_script("return document.body.dataset.answers"))
    driver.back()
    page.wait_shown("#" + fragment("erlangc", typed))
    check(field.get_attribute("value") == "100", "Back restores the field")
    driver.execute_script("return new Promise(r => setTimeout(r, 300))")
    again = int(driver.execute_script("return document.body.dataset.answers"))
    check(again == answers + 1, f"Back answers once ({again - answers} times)")
    driver.forward()
    WebDriverWait(driver, 5).until(
        lambda d: d.execute_script("return location.hash").startswith("#erlangc?load=abc&"))


def charts(page):
    """The chart's mark is the answer's point."""
    for frag, x, y in [(fragment("erlangb-table", [("load", "10"), ("blocking", "1%")]),
                        "circuits", "blocking"),
                       (fragment("erlangc", [("load", "10"), ("holding", "180"),
                                             ("service-level", "80%"), ("answer-time", "20")]),
                        "agents", "service_level")]:
        page.open(frag)
        lines = page.csv().strip().split("\n")
        record = dict(zip(lines[0].split(","), lines[1].split(",")))
        marks = page.driver.find_elements(By.CSS_SELECTOR, "section:not([hidden]) svg circle.mark")
        check(len(marks) == 1 and float(marks[0].get_attribute("data-x")) == float(record[x])
              and float(marks[0].get_attribute("data-y")) == float(record[y]),
              f"the chart marks the answer of {frag}")
        check(len(page.driver.find_elements(By.CSS_SELECTOR, "section:not([hidden]) svg polyline")),
              f"a curve beside {frag}")


def large(page):
    """A million rows: the first rows show while the rest are computed, the
    page answers meanwhile, the table says how many there are, the CSV link
    holds them all, the chart draws a sample; a newer link cancels it."""
    driver = page.driver
    frag = "#" + fragment("erlangb-table", [("circuits", "1..1000000"), ("load", "1000")])
    start = driver.execute_script("location.hash = arguments[0]; return performance.now()", frag)
    first, total = math.nan, 0  # when the first rows showed, when all did
    while driver.execute_script("return document.body.dataset.shown") != frag and total < 1.2e5:
        rows, total, running = driver.execute_script(
            "const t = document.getElementById('answer'); return [t ? t.rows.length : 0,"
            " performance.now() - arguments[0], document.body.dataset.running === 'true']", start)
        first = total if math.isnan(first) and rows and running else first
    check(not math.isnan(first), "the first rows show while the rest are computed")
    more = driver.find_element(By.CSS_SELECTOR, "section:not([hidden]) .more").text
    check(more == "The first 2,000 of 1,000,000 rows; the CSV holds them all.", f"'{more}'")
    table = page.table()
    check(table is not None and len(table[2]) == 2000 and table[2][0][0] == "1", "2,000 rows")
    lines = driver.execute_async_script(
        "fetch(document.getElementById('csv').href).then(r => r.text())"
        ".then(t => arguments[0](t.split('\\n').length))")
    check(lines == 1000002, f"the CSV holds every row ({lines} lines)")
    points = driver.execute_script(
        "return Math.max(...[...document.querySelectorAll('section:not([hidden]) polyline')]"
        ".map(p => p.points.length))")
    check(points <= 1001, f"the chart draws a sample ({points} points)")
    heap = driver.execute_script("return performance.memory.usedJSHeapSize") / 2**20
    print(f"a million rows: the first {first:.0f} ms after the link, all {total:.0f} ms; "
          f"the page's heap {heap:.0f} MiB")
    # A newer link while the million rows run: its answer, and only its.
    driver.execute_script("location.hash = arguments[0]", frag.replace("1000000", "999999"))
    page.open(fragment(*CASES[1]))
    driver.execute_script("return new Promise(r => setTimeout(r, 500))")
    check(page.table() == table_of(native(*CASES[1])[0]) and driver.execute_script(
        "return document.body.dataset.shown") == "#" + fragment(*CASES[1]), "a newer link cancels")


def exactness(page):
    """Large outputs against the native programs: every field within 1e-13,
    whole counts the same; how many fields differ in their last digits."""
    for program, pairs in [("erlangb-table", [("circuits", "1..301"), ("blocking", ITU)]),
                           ("erlangc", [("load", "1..3001"), ("holding", "180"),
                                        ("patience", "120"), ("service-level", "80%"),
                                        ("answer-time", "20")])]:
        page.open(fragment(program, pairs), wait=120)
        csv, _, _ = native(program, pairs, "--csv")
        differing = [0]
        check(same_csv(page.csv(), csv, differing), f"{program}'s CSV within 1e-13")
        fields = sum(len(line.split(",")) for line in csv.strip().split("\n"))
        print(f"{program} {' '.join(f'--{n}={v}' for n, v in pairs)}: {differing[0]} of "
              f"{fields} fields differ in their last digits")


def timings(page):
    """The first answer, an update at 10,000 erlangs and the ITU-T layout,
    reported beside the native program's time for the same layout: the page
    runs in whatever else the machine is doing, so the clock asserts nothing."""
    driver = page.driver
    page.open(fragment("erlangb-table", [("load", "10"), ("blocking", "1%")]))
    first = int(driver.execute_script("return document.body.dataset.firstAnswer"))
    itu = ("erlangb-table", [("circuits", "1..301"), ("blocking", ITU)])
    times = []
    for program, pairs in [("erlangc", [("load", "10000"), ("holding", "180"),
                                         ("service-level", "80%"), ("answer-time", "20")]), itu]:
        start = driver.execute_script("location.hash = arguments[0]; return performance.now()",
                                      "#" + fragment(program, pairs))
        page.wait_shown("#" + fragment(program, pairs))
        times.append(float(driver.execute_script("return document.body.dataset.shownAt")) - start)
    start = time.monotonic()
    native(*itu, "--csv")
    print(f"first answer {first} ms after loading; an update at 10,000 erlangs {times[0]:.0f} ms;"
          f" the ITU-T layout {times[1]:.0f} ms, the native program's "
          f"{(time.monotonic() - start) * 1000:.0f} ms")


def sizes():
    total = sum(os.path.getsize(os.path.join(PAGE, f))
                for f in ("index.html", "erlangb.js", "page.css"))
    print(f"the page: {total} bytes")
    check(total <= 400 * 1024, "the page within 400 KB")


def network(page, base):
    """Everything the page loaded came from where the page is."""
    names = page.driver.execute_script(
        "return performance.getEntriesByType('resource').map(e => e.name)")
    folder = base.rsplit("/", 1)[0]
    check(all(n.startswith(folder) for n in names), f"no request elsewhere: {names}")


def screenshots(page):
    folder = os.path.join(PAGE, "screenshots")
    os.makedirs(folder, exist_ok=True)
    for program, pairs in (CASES[0], CASES[11], CASES[15]):
        page.open(fragment(program, pairs))
        page.driver.save_screenshot(os.path.join(folder, program + ".png"))


def narrow(page):
    """360 pixels wide: nothing wider than the window but the table's own scroll."""
    page.driver.set_window_size(360, 900)
    page.open(fragment(*CASES[15]))
    width = page.driver.execute_script("return document.documentElement.scrollWidth")
    check(width <= 360, f"the page fits 360 pixels ({width})")
    page.driver.set_window_size(1200, 1600)


def main():
    sizes()
    driver = browser()
    try:
        on_disk = Page(driver, "file://" + os.path.abspath(os.path.join(PAGE, "index.html")))
        answers(on_disk, "from disk:")
        refusals(on_disk)
        bad_links(on_disk)
        typing(on_disk)
        charts(on_disk)
        timings(on_disk)
        large(on_disk)
        exactness(on_disk)
        network(on_disk, on_disk.base)
        narrow(on_disk)
        screenshots(on_disk)
        served = Page(driver, serve(os.path.abspath(PAGE)))
        answers(served, "served:")
        network(served, served.base)
    finally:
        driver.quit()
    print(f"{len(failures)} failures")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
