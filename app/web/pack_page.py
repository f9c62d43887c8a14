#!/usr/bin/python3
"""Makes the page twice from the built module: a static folder (page, module
JavaScript and wasm, resources beside them) and one self-contained HTML file
(everything inline, resources gzipped in base64), byte for byte the same
from the same inputs."""
import base64
import gzip
import pathlib
import shutil
import sys

source, resources, core_dir, version, site, single = sys.argv[1:7]
source, resources, core_dir = map(pathlib.Path, (source, resources, core_dir))
site, single = pathlib.Path(site), pathlib.Path(single)
names = ["radav.bmp", "hand.bmp", "slap1.wav", "slap2.wav", "slap3.wav"]

page = (source / "page.html").read_text(encoding="utf-8").replace("@PROJECT_VERSION@", version)
css = (source / "page.css").read_text(encoding="utf-8")
script = (source / "page.js").read_text(encoding="utf-8")

if site.exists():
    shutil.rmtree(site)
(site / "resources").mkdir(parents=True)
(site / "index.html").write_text(page, encoding="utf-8")
(site / "page.css").write_text(css, encoding="utf-8")
(site / "page.js").write_text(script, encoding="utf-8")
for name in ("hoppel_core.js", "hoppel_core.wasm"):
    shutil.copyfile(core_dir / name, site / name)
for name in names:
    shutil.copyfile(resources / name, site / "resources" / name)


def inline_script(text):
    # A script element ends at the first "</script": never inside the text.
    return "<script>" + text.replace("</script", "<\\/script") + "</script>"


packed = {name: base64.b64encode(gzip.compress((resources / name).read_bytes(), 9, mtime=0))
          .decode("ascii") for name in names}
table = "window.HOPPEL_RESOURCES = {\n" + "".join(
    f'  "{name}": "{data}",\n' for name, data in packed.items()) + "};\n"
core = (core_dir / "single" / "hoppel_core.js").read_text(encoding="utf-8")
whole = page.replace('<link rel="stylesheet" href="page.css">', "<style>\n" + css + "</style>")
whole = whole.replace('<script src="hoppel_core.js"></script>', inline_script(table) + "\n" + inline_script(core))
whole = whole.replace('<script src="page.js"></script>', inline_script(script))
assert "src=" not in whole.split("<script>")[0] and 'href="page.css"' not in whole
single.write_text(whole, encoding="utf-8")
