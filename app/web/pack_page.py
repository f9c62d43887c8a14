#!/usr/bin/python3
"""Makes the page twice from the built module: a static folder (page, module
JavaScript and wasm, resources beside them, and what makes it an app that
plays offline: a manifest, its icons and a service worker) and one
self-contained HTML file (everything inline, resources gzipped in base64, no
worker), byte for byte the same from the same inputs. The menu comes from the resource script, the texts
from the program's header of shown texts and the resource names from the
generator's list, so that each is written once.
Usage: pack_page.py <app/web> <project root> <module dir> <version> <site> <one file> <parts>..."""
import base64
import gzip
import hashlib
import html
import json
import pathlib
import re
import shutil
import sys

source, root, core_dir, version, site, single = sys.argv[1:7]
# The page's script, in the order its parts need each other.
PARTS = sys.argv[7:]
source, root, core_dir = map(pathlib.Path, (source, root, core_dir))
site, single = pathlib.Path(site), pathlib.Path(single)
read = lambda path: path.read_text(encoding="utf-8")


def shown_texts():
    """NAME -> text from every #define HOPPEL_TEXT_NAME "text" of the header."""
    found = re.findall(r'^#define HOPPEL_TEXT_(\w+) "([^"\\]*)"$', read(root / "app/shown_texts.h"), re.M)
    assert found, "no texts in app/shown_texts.h"
    return dict(found)


def resource_names():
    listed = re.search(r"kResourceFileNames\[\] = \{([^}]*)\}", read(root / "tools/resource_files.h"))
    return re.findall(r'"([^"]+)"', listed.group(1))


def labelled(text):
    """A menu text with its &-letter underlined, and that letter."""
    before, letter, after = re.match(r"(.*?)&(.)(.*)", text).groups()
    return html.escape(before) + "<u>" + html.escape(letter) + "</u>" + html.escape(after), letter.lower()


def menubar():
    """The resource script's IDR_MENU as the page's menu bar."""
    script = read(root / "resources/hoppelmaru.rc")
    body = re.search(r"^IDR_MENU MENU\s*\nBEGIN\n(.*?)^END$", script, re.M | re.S).group(1)
    out = []
    for line in body.splitlines():
        line = line.strip()
        popup = re.match(r'POPUP "(.*)"$', line)
        item = re.match(r'MENUITEM "(.*)", (\w+)$', line)
        if popup:
            label, key = labelled(popup.group(1))
            out += ['    <div class="menu">',
                    f'      <button class="menu-title" role="menuitem" aria-haspopup="true" tabindex="-1" data-key="{key}">{label}</button>',
                    '      <div class="popup" role="menu">']
        elif item:
            label, _ = labelled(item.group(1))
            out.append(f'        <button role="menuitem" data-command="{item.group(2)}">{label}</button>')
        elif line == "MENUITEM SEPARATOR":
            out.append("        <hr>")
        elif line == "END":
            out += ["      </div>", "    </div>"]
        else:
            assert line in ("", "BEGIN"), "unexpected menu line: " + line
    return "\n".join(out) + "\n"


texts, names = shown_texts(), resource_names()
ICONS = [("icon-192.png", 192, "any"), ("icon-512.png", 512, "any"), ("icon-maskable.png", 512, "maskable")]
template = read(source / "page.html").replace("@PROJECT_VERSION@", version).replace("@MENUBAR@", menubar())
template = re.sub(r"@TEXT_(\w+)@", lambda m: html.escape(texts[m.group(1)]), template)
css = read(source / "page.css")
colour = lambda name: re.search(r"--" + name + r": (#[0-9a-f]{6})", css).group(1)
site_head = ('<link rel="manifest" href="manifest.webmanifest">\n'
             f'<meta name="theme-color" content="{colour("caption")}">\n'
             '<link rel="icon" href="icon-192.png">\n<link rel="apple-touch-icon" href="icon-192.png">\n')
page = template.replace("@SITE_HEAD@", site_head)
given = "const texts = {\n" + "".join(f"  {k}: {v!r},\n" for k, v in texts.items()) + "};\n"
given += "const resourceNames = [" + ", ".join(repr(n) for n in names) + "];\n"
script = "'use strict';\n(() => {\n" + given + "".join(read(source / p) for p in PARTS) + "})();\n"
title = re.search(r"<title>(.*)</title>", page).group(1)
manifest = {"name": title, "short_name": title, "lang": "ja", "start_url": "./index.html", "scope": "./",
            "display": "standalone", "background_color": colour("ground"), "theme_color": colour("caption"),
            "icons": [{"src": n, "sizes": f"{s}x{s}", "type": "image/png", "purpose": p} for n, s, p in ICONS]}

if site.exists():
    shutil.rmtree(site)
(site / "resources").mkdir(parents=True)
(site / "index.html").write_text(page, encoding="utf-8")
(site / "page.css").write_text(css, encoding="utf-8")
(site / "page.js").write_text(script, encoding="utf-8")
(site / "manifest.webmanifest").write_text(json.dumps(manifest, ensure_ascii=False, indent=1) + "\n", encoding="utf-8")
for name in ("hoppel_core.js", "hoppel_core.wasm"):
    shutil.copyfile(core_dir / name, site / name)
for name in names + [icon[0] for icon in ICONS]:
    shutil.copyfile(root / "resources" / name, site / ("resources/" + name if name in names else name))
# The worker keeps every file but itself, under a name that changes with them.
kept = sorted(p.relative_to(site).as_posix() for p in site.rglob("*") if p.is_file())
digest = hashlib.sha256()
for name in kept:
    digest.update(name.encode() + b"\0" + (site / name).read_bytes())
worker = read(source / "sw.js").replace("@CACHE@", "hoppelmaru-" + version + "-" + digest.hexdigest()[:16])
(site / "sw.js").write_text(worker.replace("@FILES@", json.dumps(["./"] + kept)), encoding="utf-8")


def inline_script(text):
    # A script element ends at the first "</script": never inside the text.
    return "<script>" + text.replace("</script", "<\\/script") + "</script>"


packed = {name: base64.b64encode(gzip.compress((root / "resources" / name).read_bytes(), 9, mtime=0))
          .decode("ascii") for name in names}
table = "window.HOPPEL_RESOURCES = {\n" + "".join(
    f'  "{name}": "{data}",\n' for name, data in packed.items()) + "};\n"
core = read(core_dir / "single" / "hoppel_core.js")
whole = template.replace("@SITE_HEAD@", '<link rel="icon" href="data:,">\n')
whole = whole.replace('<link rel="stylesheet" href="page.css">', "<style>\n" + css + "</style>")
whole = whole.replace('<script src="hoppel_core.js"></script>', inline_script(table) + "\n" + inline_script(core))
whole = whole.replace('<script src="page.js"></script>', inline_script(script))
assert "src=" not in whole.split("<script>")[0] and 'href="page.css"' not in whole
single.write_text(whole, encoding="utf-8")
