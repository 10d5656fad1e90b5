#!/usr/bin/env python3
"""Turns the user guide (docs/guide, Markdown) into plain HTML pages for the
zip and the installer: the PC next to the machine may have nothing that
shows Markdown. Knows the little Markdown the guide uses: headings,
paragraphs, lists, pictures, links, bold, italics and code.

    python3 tools/guide_html.py docs/guide OUTPUT_FOLDER

Fails when a page links to a page that does not exist. A picture that is
not there yet (a window still being built) is left out with a warning."""
import html
import pathlib
import re
import shutil
import sys

STYLE = """body{font-family:Segoe UI,Tahoma,Arial,sans-serif;max-width:60em;margin:1em auto;padding:0 1em;line-height:1.45}
img{max-width:100%;border:1px solid #bbb;margin:.3em 0}
code{background:#f2f2f2;padding:0 .2em}"""

INLINE = [
    (re.compile(r"!\[([^\]]*)\]\(([^)]+)\)"), lambda m: f'<img src="{link(m[2])}" alt="{m[1]}">'),
    (re.compile(r"\[([^\]]+)\]\(([^)]+)\)"), lambda m: f'<a href="{link(m[2])}">{m[1]}</a>'),
    (re.compile(r"\*\*(.+?)\*\*"), lambda m: f"<b>{m[1]}</b>"),
    (re.compile(r"(?<![\w*])\*(?!\s)(.+?)(?<!\s)\*(?![\w*])"), lambda m: f"<i>{m[1]}</i>"),
]


def link(target):
    target = re.sub(r"README\.md", "index.md", target)
    return re.sub(r"\.md(#|$)", r".html\1", target)


def anchor(heading):
    """The id a link's #fragment names: the heading in lower case, words
    joined by hyphens, punctuation dropped (as Markdown viewers make it)."""
    words = re.sub(r"[^\w\s-]", "", heading.lower()).split()
    return "-".join(words)


def inline(text):
    parts = re.split(r"(`[^`]+`)", text)
    out = []
    for part in parts:
        if part.startswith("`") and part.endswith("`") and len(part) > 1:
            out.append(f"<code>{html.escape(part[1:-1])}</code>")
            continue
        part = html.escape(part, quote=False)
        for pattern, replace in INLINE:
            part = pattern.sub(replace, part)
        out.append(part)
    return "".join(out)


def convert(markdown):
    body, paragraph, list_tag, title = [], [], None, ""

    def flush():
        nonlocal paragraph, list_tag
        if paragraph:
            body.append(f"<p>{inline(' '.join(paragraph))}</p>")
            paragraph = []
        if list_tag:
            body.append(f"</{list_tag}>")
            list_tag = None

    for line in markdown.splitlines():
        stripped = line.strip()
        heading = re.match(r"(#{1,4})\s+(.*)", stripped)
        item = re.match(r"(-|\d+\.)\s+(.*)", stripped)
        if not stripped:
            flush()
        elif heading:
            flush()
            level = len(heading[1])
            title = title or heading[2]
            body.append(f'<h{level} id="{anchor(heading[2])}">{inline(heading[2])}</h{level}>')
        elif item and not paragraph:
            tag = "ul" if item[1] == "-" else "ol"
            if list_tag != tag:
                flush()
                body.append(f"<{tag}>")
                list_tag = tag
            body.append(f"<li>{inline(item[2])}</li>")
        elif list_tag and line.startswith("  "):
            body[-1] = body[-1][: -len("</li>")] + " " + inline(stripped) + "</li>"
        else:
            if list_tag:
                flush()
            paragraph.append(stripped)
    flush()
    return title, "\n".join(body)


def drop_missing_pictures(page, markdown, source_root):
    def keep(match):
        if (page.parent / match[2]).exists():
            return match[0]
        print(f"warning: {page.relative_to(source_root)}: no picture {match[2]} yet", file=sys.stderr)
        return ""

    return re.sub(r"!\[([^\]]*)\]\(([^)]+)\)", keep, markdown)


def check_links(page, markdown, source_root):
    """Links to pages that do not exist, or to a heading (#...) the page lacks."""
    missing = []
    for target, fragment in re.findall(r"(?<!!)\[[^\]]+\]\(([^)#]*)(?:#([^)]+))?\)", markdown):
        if re.match(r"[a-z]+:", target):
            continue
        linked = page.parent / target if target else page
        if not linked.exists():
            missing.append(f"{page.relative_to(source_root)}: {target}")
        elif fragment and fragment not in headings(linked):
            missing.append(f"{page.relative_to(source_root)}: {target}#{fragment}")
    return missing


def headings(page):
    return {anchor(m) for m in re.findall(r"^#{1,4}\s+(.*)$", page.read_text(encoding="utf-8"), re.M)}


def main():
    source, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    if output.exists():
        shutil.rmtree(output)
    missing = []
    for page in sorted(source.rglob("*.md")):
        markdown = page.read_text(encoding="utf-8")
        missing += check_links(page, markdown, source)
        markdown = drop_missing_pictures(page, markdown, source)
        title, body = convert(markdown)
        target = output / page.relative_to(source).with_suffix(".html")
        if page.name == "README.md":
            target = target.with_name("index.html")
        target.parent.mkdir(parents=True, exist_ok=True)
        language = page.parent.name if page.parent != source else "en"
        target.write_text(
            f'<!DOCTYPE html>\n<html lang="{language}">\n<head>\n<meta charset="utf-8">\n'
            f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n{body}\n</body>\n</html>\n",
            encoding="utf-8",
        )
    for picture in source.rglob("*.png"):
        target = output / picture.relative_to(source)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(picture, target)
    if missing:
        print("Missing link targets:\n  " + "\n  ".join(missing), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
