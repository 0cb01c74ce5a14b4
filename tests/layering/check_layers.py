#!/usr/bin/env python3
"""Fails when an #include crosses the program's layers the wrong way.

Rules:
  - only src/app and src/main.cpp include "app/...";
  - a core folder (src/<sub>, not its ui/) includes no Qt Widgets header;
  - no subsystem includes another subsystem's "<sub>/ui/..."; the shared
    editing widgets ("richtext/ui/...") are open to every ui/ folder;
  - src/base and src/platform include nothing above them;
  - a core library (mirokata_<sub> of a subsystem folder, mirokata_base)
    never links Qt6::Widgets, not even through another library.
Usage: check_layers.py SRC_DIR
"""
import pathlib
import re
import sys

# Folders whose every file may show widgets.
WIDGET_FOLDERS = {"app", "widgets"}
# Shared pieces, not subsystems: their ui/ is for every subsystem's ui/.
SHARED_UI_FOLDERS = {"richtext"}
# Platform's Linux side talks to Qt Widgets by design; its interfaces and
# the core helpers do not.
PLATFORM_WIDGET_FILES = re.compile(
    r"^platform/(qt_|x11_|linux_|desktop_shell|logind_|lock_file_)")
# Lower layers and what they may include.
LOWER_LAYERS = {
    "platform": {"platform"},
    "base": {"platform", "base"},
}

WIDGET_HEADER = re.compile(
    r"#\s*include\s*<(QtWidgets/|Q(Widget|Dialog|Label|MainWindow|PushButton|"
    r"ToolButton|Abstract(Button|ItemView|ScrollArea|Slider|SpinBox)|Menu|"
    r"MenuBar|TextEdit|TextBrowser|PlainTextEdit|Application|ComboBox|"
    r"CheckBox|RadioButton|ListWidget|ListView|TreeWidget|TreeView|"
    r"TableWidget|TableView|ProgressBar|Frame|Style|StyleOption|ScrollArea|"
    r"LineEdit|SpinBox|ToolTip|MessageBox|[A-Za-z]*Layout|Splitter|StatusBar|"
    r"TabWidget|TabBar|GroupBox|Slider|FileDialog|ColorDialog|FontDialog|"
    r"SystemTrayIcon|CalendarWidget|DateEdit|TimeEdit|DateTimeEdit|"
    r"StackedWidget|ButtonGroup|ScrollBar|Action|WidgetAction|Shortcut|"
    r"Completer|DesktopWidget|Rubberband|Wizard)>)")
LOCAL_INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')


def check(src: pathlib.Path) -> list[str]:
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        rel = path.relative_to(src).as_posix()
        parts = rel.split("/")
        top = parts[0] if len(parts) > 1 else ""
        in_ui = "ui" in parts[1:-1] or top in WIDGET_FOLDERS
        if top == "platform":
            in_ui = in_ui or bool(PLATFORM_WIDGET_FILES.match(rel))
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            where = f"{rel}:{number}"
            if not in_ui and top not in ("", "cuegen") and WIDGET_HEADER.search(line):
                if not (top == "platform" and parts[1] == "testing"):
                    problems.append(f"{where}: core code includes a widget header: {line.strip()}")
            m = LOCAL_INCLUDE.search(line)
            if not m:
                continue
            target = m.group(1)
            target_top = target.split("/")[0]
            if target_top == "app" and top not in ("app", ""):
                problems.append(f"{where}: only src/app includes app/: {target}")
            target_parts = target.split("/")
            if ("ui" in target_parts[1:-1] and target_top != top
                    and top not in ("app", "")):
                if target_top not in SHARED_UI_FOLDERS:
                    problems.append(
                        f"{where}: includes another subsystem's ui/: {target}")
                elif not in_ui:
                    problems.append(f"{where}: core includes a ui/ header: {target}")
            if top in LOWER_LAYERS and target_top not in LOWER_LAYERS[top]:
                problems.append(f"{where}: {top} includes a higher layer: {target}")
    return problems


CMAKE_COMMAND = re.compile(r"(add_library|target_link_libraries)\s*\(([^)]*)\)",
                           re.S)
CORE_LIBRARIES = re.compile(
    r"^mirokata_(base|richtext|picture|calendar|schedule|mainwin|notes|"
    r"contacts|mail|tools)$")


def check_links(src: pathlib.Path) -> list[str]:
    links: dict[str, set[str]] = {}
    for cmake in sorted(src.rglob("CMakeLists.txt")):
        text = re.sub(r"#[^\n]*", "", cmake.read_text(encoding="utf-8"))
        for command, body in CMAKE_COMMAND.findall(text):
            words = body.split()
            if not words:
                continue
            deps = links.setdefault(words[0], set())
            if command == "target_link_libraries":
                deps.update(w for w in words[1:]
                            if w not in ("PUBLIC", "PRIVATE", "INTERFACE"))
    problems = []
    for library in sorted(links):
        if not CORE_LIBRARIES.match(library):
            continue
        seen, todo = set(), [library]
        while todo:
            name = todo.pop()
            if name in seen:
                continue
            seen.add(name)
            todo.extend(links.get(name, ()))
        if "Qt6::Widgets" in seen:
            problems.append(f"{library}: a core library links Qt6::Widgets")
    return problems


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    problems = check(src) + check_links(src)
    for p in problems:
        print(p)
    print(f"layering: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
